#include <gtest/gtest.h>

#include "saver/dispatch.h"
#include "saver/nothing_to_play.h"

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

// Entries "ok" can play; the list is "Count" followed by the entries, "_" for an empty one.
TEST(NothingToPlay, SaysSoOnlyWhenNoEntryCanPlay) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"-1"}, "is empty"},
        {{"0"}, "is empty"},                       // nothing stored at all
        {{"2", "_", "_", "_", "ok"}, "is empty"},  // above Count: not in the list
        {{"1", "gone", "gone"}, "none of the 2 entries"},
        {{"2", "gone", "_", "gone"}, "none of the 2 entries"},
        {{"2", "gone", "gone", "ok"}, nullptr},
        {{"0", "ok", "gone"}, nullptr},
    };
    for (const auto& [list, said] : cases) {
        const auto message = saver::nothingToPlayMessage(
            list.first().toInt(),
            [&](int position) { return list.value(position + 1).replace("_", ""); },
            [](const QString& entry) { return entry == "ok"; });
        EXPECT_EQ(message.has_value(), said != nullptr) << list.join(' ').toStdString();
        if (message && said) {
            EXPECT_TRUE(message->contains(said)) << qPrintable(*message);
            EXPECT_TRUE(message->contains("\"flickerdeck /C\"")) << qPrintable(*message);
            EXPECT_FALSE(message->contains(u'\n'));
        }
    }
}
