#include <gtest/gtest.h>

#include "saver/dispatch.h"

using saver::StartMode;

struct DispatchCase {
    const char* commandLine;
    bool anotherInstance;
    int active;
    StartMode expected;
};

class DispatchTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTest, ChoosesTheMode) {
    const DispatchCase& c = GetParam();
    EXPECT_EQ(saver::startMode(c.commandLine, c.anotherInstance, c.active), c.expected)
        << '"' << c.commandLine << "\" another=" << c.anotherInstance << " active=" << c.active;
}

INSTANTIATE_TEST_SUITE_P(CommandLines, DispatchTest,
                         ::testing::Values(DispatchCase{"/p 1234", false, 0, StartMode::End},
                                           DispatchCase{"/P:1234", false, 0, StartMode::End},
                                           DispatchCase{"/P /C", false, 1, StartMode::End},
                                           DispatchCase{"x/px", false, 0, StartMode::End},
                                           DispatchCase{"/c", false, 0, StartMode::Configure},
                                           DispatchCase{"/C", false, 0, StartMode::Configure},
                                           DispatchCase{"/c:1234", false, 0, StartMode::Configure},
                                           DispatchCase{"/S", false, 0, StartMode::Saver},
                                           DispatchCase{"/A", false, 0, StartMode::Saver},
                                           DispatchCase{"/X", false, 0, StartMode::Saver},
                                           DispatchCase{"", false, 0, StartMode::Saver},
                                           DispatchCase{"--window-id 0x1c", false, 0,
                                                        StartMode::Saver}));

INSTANTIATE_TEST_SUITE_P(SecondInstance, DispatchTest,
                         ::testing::Values(DispatchCase{"/S", true, 0, StartMode::End},
                                           DispatchCase{"/C", true, 0, StartMode::End},
                                           DispatchCase{"/S", true, 1, StartMode::Saver},
                                           DispatchCase{"/C", true, 1, StartMode::Configure},
                                           DispatchCase{"/P", true, 1, StartMode::End}));

TEST(CommandLineText, JoinsTheArgumentsAfterTheProgramName) {
    EXPECT_EQ(saver::commandLineText({"flickerdeck"}), "");
    EXPECT_EQ(saver::commandLineText({"flickerdeck", "/p", "1234"}), "/p 1234");
}

TEST(InformationAsked, OnlyTheExactWordAloneIsAnswered) {
    const auto asked = [](QStringList arguments) {
        arguments.prepend("flickerdeck");
        return saver::informationAsked(arguments, "1.2.3");
    };
    EXPECT_EQ(asked({"--version"}), "flickerdeck 1.2.3\n");
    ASSERT_TRUE(asked({"--help"}).has_value());
    EXPECT_TRUE(asked({"--help"})->startsWith("Usage: flickerdeck"));
    for (const QStringList& other : {QStringList{},
                                     {"--HELP"},
                                     {"-h"},
                                     {"--help", "/C"},
                                     {"/C", "--version"},
                                     {"--version "},
                                     {"/S"}})
        EXPECT_FALSE(asked(other).has_value()) << other.join(' ').toStdString();
}
