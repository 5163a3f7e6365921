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
    EXPECT_EQ(saver::informationAsked({"fd", "--version"}, "1.2"), "flickerdeck 1.2\n");
    const QString help = saver::informationAsked({"fd", "--help"}, "1.2").value_or("");
    EXPECT_TRUE(help.startsWith("Usage:"));
    EXPECT_TRUE(help.contains("--add-to-xscreensaver"));
    EXPECT_TRUE(saver::addToXScreenSaverAsked({"fd", "--add-to-xscreensaver"}));
    for (const QStringList& other : {QStringList{"fd"},
                                     {"fd", "--HELP"},
                                     {"fd", "--help", "/C"},
                                     {"fd", "/C", "--version"},
                                     {"fd", "--version "},
                                     {"fd", "--add-to-xscreensaver", "/S"}}) {
        EXPECT_FALSE(saver::informationAsked(other, "1.2")) << other.join(' ').toStdString();
        EXPECT_FALSE(saver::addToXScreenSaverAsked(other)) << other.join(' ').toStdString();
    }
}

