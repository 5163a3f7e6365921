#pragma once

#include <QString>

// Property checks shared by the fuzz targets. The libFuzzer build aborts on a violated property so
// the fuzzer keeps the input; the replay test records a gtest failure instead and goes on.
namespace fuzzcheck {

// Defined once per build: fuzz/check_abort.cpp for libFuzzer, tests/fuzz/replay_test.cpp for the
// replay.
void failed(const char* condition, const char* file, int line, const QString& detail);

// The text with NULs, line breaks and other control characters escaped, for messages.
QString shown(const QString& text);

}  // namespace fuzzcheck

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : fuzzcheck::failed(#condition, __FILE__, __LINE__, QString()))

// Equality of two values that QString can take (QString, QLatin1String, ...), showing both.
#define FUZZ_CHECK_EQ(actual, expected)                                                \
    do {                                                                               \
        const QString fuzzActual_(actual);                                             \
        const QString fuzzExpected_(expected);                                         \
        if (fuzzActual_ != fuzzExpected_)                                              \
            fuzzcheck::failed(#actual " == " #expected, __FILE__, __LINE__,            \
                              fuzzcheck::shown(fuzzActual_) + QStringLiteral(" != ") + \
                                  fuzzcheck::shown(fuzzExpected_));                    \
    } while (false)
