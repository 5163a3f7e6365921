#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "comdlg/qstring_printer.h"
#include "fuzz_check.h"

// The fuzz target compiled into this test; its initializer is optional, as with libFuzzer.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fuzzcheck {

void failed(const char* condition, const char* file, int line, const QString& detail) {
    ADD_FAILURE_AT(file, line) << "property violated: " << condition
                               << (detail.isEmpty() ? std::string()
                                                    : "\n    " + detail.toStdString());
}

}  // namespace fuzzcheck

namespace {

QDir corpus() {
    return QDir(QStringLiteral(FDK_FUZZ_CORPUS));
}

QStringList corpusFiles() {
    return corpus().entryList(QDir::Files, QDir::Name);
}

std::string testName(const ::testing::TestParamInfo<QString>& info) {
    std::string name = info.param.toStdString();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

void initializeOnce() {
    static const bool initialized = [] {
        if (!LLVMFuzzerInitialize) return true;
        static char program[] = "fuzz_replay";
        static char* arguments[] = {program, nullptr};
        int argc = 1;
        char** argv = arguments;
        return LLVMFuzzerInitialize(&argc, &argv) == 0;
    }();
    ASSERT_TRUE(initialized);
}

class CorpusReplay : public ::testing::TestWithParam<QString> {};

TEST_P(CorpusReplay, KeepsEveryProperty) {
    QFile file(corpus().filePath(GetParam()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QByteArray bytes = file.readAll();
    initializeOnce();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<size_t>(bytes.size()));
}

// Test names start with the target (FDK_FUZZ_TARGET), so the four replays never share a name.
#define FDK_CONCAT_(a, b) a##b
#define FDK_CONCAT(a, b) FDK_CONCAT_(a, b)
#define FDK_INSTANTIATE(prefix) \
    INSTANTIATE_TEST_SUITE_P(prefix, CorpusReplay, ::testing::ValuesIn(corpusFiles()), testName)
#define FDK_TEST(suite, name) TEST(suite, name)

FDK_INSTANTIATE(FDK_FUZZ_TARGET);

// A moved or emptied corpus folder must not pass as "nothing failed".
FDK_TEST(FDK_CONCAT(FDK_FUZZ_TARGET, Corpus), HasSeeds) {
    EXPECT_GE(corpusFiles().size(), 5) << FDK_FUZZ_CORPUS;
}

}  // namespace
