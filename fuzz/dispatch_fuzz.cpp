// The start mode from the host's command line. Input: one byte for the instance state (bit 0:
// another instance runs; bits 1-2: "Active" of -1, 0, 1 or 2), then the command line as UTF-8.

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "saver/dispatch.h"

namespace {

using saver::StartMode;

// "/" directly followed by the letter in either case, found by scanning the UTF-16 text.
bool hasSwitch(const QString& text, char16_t lower) {
    const char16_t upper = lower - 32;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'/' && (text.at(i + 1) == lower || text.at(i + 1) == upper)) return true;
    }
    return false;
}

StartMode expectedMode(const QString& commandLine, bool another, int active) {
    if (hasSwitch(commandLine, u'p')) return StartMode::End;
    if (another && active == 0) return StartMode::End;
    return hasSwitch(commandLine, u'c') ? StartMode::Configure : StartMode::Saver;
}

const char* name(StartMode mode) {
    switch (mode) {
        case StartMode::End:
            return "End";
        case StartMode::Configure:
            return "Configure";
        case StartMode::Saver:
            return "Saver";
    }
    return "?";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool another = (data[0] & 1) != 0;
    const int active = ((data[0] >> 1) & 3) - 1;
    const QString commandLine = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                                  static_cast<qsizetype>(size - 1));

    const StartMode mode = saver::startMode(commandLine, another, active);
    if (commandLine.toUpper().contains(QLatin1String("/P"))) FUZZ_CHECK(mode == StartMode::End);
    FUZZ_CHECK_EQ(QLatin1String(name(mode)),
                  QLatin1String(name(expectedMode(commandLine, another, active))));

    // The same words as separate arguments after the program name give the same mode.
    QStringList arguments{QStringLiteral("flickerdeck")};
    arguments += commandLine.split(u' ');
    const QString joined = saver::commandLineText(arguments);
    FUZZ_CHECK_EQ(joined, commandLine);
    FUZZ_CHECK(saver::startMode(joined, another, active) == mode);
    return 0;
}
