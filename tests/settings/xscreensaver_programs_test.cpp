#include <gtest/gtest.h>

#include "settings/xscreensaver_programs.h"

using settings::ProgramsEdit;

namespace {

const QByteArray kSaver = "\t\t\t\t\"Flickerdeck\"  flickerdeck -root\t\t\t    \\n";
// As Debian's app-defaults file has it: a comment that ends in "\" does not go on.
const QByteArray kDefaults =
    "! app-defaults \\\n*mode:\t\trandom\n*programs:\t\\\n\t\tmaze --root\t\\n\\\n"
    "- GL:\t\tsuperquadrics --root\t\\n\n\n\n*hacks.maze.name: Maze\n";
const QByteArray kDefaultList =
    "programs:\t\\\n\t\tmaze --root\t\\n\\\n- GL:\t\tsuperquadrics --root\t\\n\\\n" + kSaver + "\n";

struct Case {
    const char* name;
    std::optional<QByteArray> file;
    bool withDefaults;
    ProgramsEdit::Outcome outcome;
    QByteArray text;  // Added: the new file, from its "programs:" on when it had none
};

const Case kCases[] = {
    {"missing file", std::nullopt, true, ProgramsEdit::Added, kDefaultList},
    {"missing file, no defaults", std::nullopt, false, ProgramsEdit::Added,
     "programs:\\\n" + kSaver + "\n"},
    {"file without a list", QByteArray("mode: one\nlock: False"), true, ProgramsEdit::Added,
     "mode: one\nlock: False\n\n" + kDefaultList},
    {"list ended by a blank line",
     QByteArray("mode: one\nprograms:\t\\\n  maze --root \\n\\\n\n"
                "lock: False\n"),
     true, ProgramsEdit::Added,
     "mode: one\nprograms:\t\\\n  maze --root \\n\\\n" + kSaver + "\\\n\nlock: False\n"},
    {"list on one line", QByteArray("programs: \"A\" a -root\nmode: one\n"), false,
     ProgramsEdit::Added, "programs: \"A\" a -root\\n\\\n" + kSaver + "\nmode: one\n"},
    {"list at the end without a newline", QByteArray("programs: \\\n b --root \\n"), false,
     ProgramsEdit::Added, "programs: \\\n b --root \\n\\\n" + kSaver},
    {"a name that only starts alike", QByteArray("programs: flickerdeck-old -root\n"), false,
     ProgramsEdit::Added, "programs: flickerdeck-old -root\\n\\\n" + kSaver + "\n"},
    {"listed, disabled, by full path",
     QByteArray(
         "programs: \\\n- \"Movies\" /usr/libexec/xscreensaver/flickerdeck --root \\n\\\n\n"),
     true,
     ProgramsEdit::AlreadyListed,
     {}},
    {"listed with a visual",
     QByteArray("programs: a\\n GL: flickerdeck -root\n"),
     true,
     ProgramsEdit::AlreadyListed,
     {}},
    {"a line that is no setting",
     QByteArray("mode: one\nnot a setting\nprograms: a\n"),
     true,
     ProgramsEdit::CannotParse,
     {}},
    {"two lists", QByteArray("programs: a\nprograms: b\n"), true, ProgramsEdit::CannotParse, {}},
    {"binary", QByteArray("programs: a\n\0\x01", 14), true, ProgramsEdit::CannotParse, {}},
    {"Windows line ends", QByteArray("programs: a\r\n"), true, ProgramsEdit::CannotParse, {}},
};

}  // namespace

TEST(XScreenSaverPrograms, AddsTheSaverOnceAndLeavesEveryOtherLine) {
    for (const Case& c : kCases) {
        const ProgramsEdit edit = settings::withSaverListed(
            c.file, c.withDefaults ? std::optional(kDefaults) : std::nullopt);
        EXPECT_EQ(edit.outcome, c.outcome) << c.name;
        EXPECT_TRUE(edit.what.contains("%1")) << c.name << ": the file goes into the message";
        if (c.outcome != ProgramsEdit::Added) {
            EXPECT_TRUE(edit.text.isEmpty()) << c.name;
            continue;
        }
        const QByteArray text = c.file ? edit.text : edit.text.mid(edit.text.indexOf("programs:"));
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_TRUE(edit.text.startsWith('#') || c.file)
            << c.name << ": a new file says who wrote it";
        EXPECT_EQ(settings::withSaverListed(edit.text, kDefaults).outcome,
                  ProgramsEdit::AlreadyListed)
            << c.name;
    }
}
