#include <gtest/gtest.h>

#include <QRegularExpression>

#include "comdlg/open_parts.h"
#include "comdlg/qstring_printer.h"

using comdlg::NameFilter;

namespace {

QString withNuls(QString text) {
    return text.replace(u'|', QChar(u'\0'));
}

// The pieces of a result text, NULs shown as "|" so a failure reads well.
QString shown(QString result) {
    return result.replace(QChar(u'\0'), u'|');
}

}  // namespace

TEST(ParseFilterText, TheCallersFilterGivesFivePairsWithTheirLabelsAsGiven) {
    const QList<NameFilter> expected{
        {"All Videos (*.avi,*.mov,*.mpg)", {"*.avi", "*.mov", "*.mpg"}},
        {"Microsoft Video (*.avi)", {"*.avi"}},
        {"Quick Time (*.mov)", {"*.mov"}},
        {"Mpeg Movies (*.mpg)", {"*.mpg"}},
        {"Waves (*.wav)", {"*.wav"}}};
    EXPECT_EQ(comdlg::parseFilterText(kCallerFilter), expected);
    // a text an earlier call already rewrote
    EXPECT_EQ(comdlg::parseFilterText(withNuls(kCallerFilter)), expected);
    EXPECT_EQ(comdlg::parseFilterText(withNuls(kCallerFilter) + QChar(u'\0') + QChar(u'\0')),
              expected);
}

TEST(ParseFilterText, OddShapes) {
    using Pairs = QList<NameFilter>;
    EXPECT_EQ(comdlg::parseFilterText(""), Pairs{});
    EXPECT_EQ(comdlg::parseFilterText("Only a label"), Pairs{});
    EXPECT_EQ(comdlg::parseFilterText("A|*.a|B"), (Pairs{{"A", {"*.a"}}}));
    EXPECT_EQ(comdlg::parseFilterText("A|*.a||"), (Pairs{{"A", {"*.a"}}}));
    EXPECT_EQ(comdlg::parseFilterText(" Two  blanks |  *.a ; ;*.b;|Empty||C|*.c"),
              (Pairs{{" Two  blanks ", {"*.a", "*.b"}}, {"Empty", {}}, {"C", {"*.c"}}}));
}

TEST(QtNameFilter, PatternsGoInTheLastParenthesesCaseFree) {
    const QList<NameFilter> pairs = comdlg::parseFilterText(kCallerFilter);
    ASSERT_EQ(pairs.size(), 5);
    EXPECT_EQ(comdlg::qtNameFilter(pairs.at(0)),
              "All Videos (*.avi,*.mov,*.mpg) (*.[aA][vV][iI] *.[mM][oO][vV] *.[mM][pP][gG])");
    EXPECT_EQ(comdlg::qtNameFilter(pairs.at(4)), "Waves (*.wav) (*.[wW][aA][vV])");
    EXPECT_EQ(comdlg::qtNameFilter({"Nothing", {}}), "Nothing ()");
}

TEST(CaseInsensitivePattern, MatchesLikeTheCallerMeantWhateverTheCase) {
    struct Case {
        QString pattern;
        QStringList matching;
        QStringList notMatching;
    };
    const QList<Case> cases{
        {"*.avi", {"CLIP.AVI", "b.avi", "x.Avi", ".avi"}, {"b.avi.txt", "b.av", "avi", "b_avi"}},
        {"*.*", {"Makefile", "a.b", "CLIP.AVI"}, {}},
        {"?.mpg", {"A.MPG", "1.mpg"}, {"ab.mpg", ".mpg"}},
        {"clip[1].avi", {"CLIP[1].AVI", "clip[1].avi"}, {"clip1.avi", "clip].avi"}},
        {"a]b*", {"A]B.avi"}, {"ab.avi"}},
        {"my clip (2).avi", {"My Clip (2).AVI"}, {"my clip 2.avi"}},
        // Qt takes no "é" in a name filter: any one character stands in for it
        {"*vidéo.avi", {"Une vidéo.avi", "Une VIDÉO.avi", "Une video.avi"}, {"Une vido.avi"}},
        {"100%_{x}~!.avi", {"100%_{X}~!.AVI"}, {"100%_x~!.avi"}},
    };
    for (const Case& c : cases) {
        const QString converted = comdlg::caseInsensitivePattern(c.pattern);
        // Qt's file model may compare case-sensitively: the pattern must not rely on it.
        const QRegularExpression re =
            QRegularExpression::fromWildcard(converted, Qt::CaseSensitive);
        ASSERT_TRUE(re.isValid()) << converted.toStdString();
        for (const QString& name : c.matching)
            EXPECT_TRUE(re.match(name).hasMatch())
                << converted.toStdString() << " " << name.toStdString();
        for (const QString& name : c.notMatching)
            EXPECT_FALSE(re.match(name).hasMatch())
                << converted.toStdString() << " " << name.toStdString();
    }
    EXPECT_EQ(comdlg::caseInsensitivePattern("*.avi"), "*.[aA][vV][iI]");
}

TEST(SelectionText, OneFileIsItsFullPath) {
    EXPECT_EQ(shown(comdlg::selectionText({"/clips/a.avi"})), "/clips/a.avi||");
    EXPECT_EQ(shown(comdlg::selectionText({"/a.avi"})), "/a.avi||");
    EXPECT_EQ(comdlg::selectionText({}), "");
    const QString text = comdlg::selectionText({"/clips/x.avi"});
    EXPECT_EQ(text.size(), 14);
    EXPECT_TRUE(text.endsWith(QString(2, QChar(u'\0'))));
}

TEST(SelectionText, SeveralFilesAreTheFolderThenBareNamesInOrder) {
    EXPECT_EQ(shown(comdlg::selectionText({"/clips/b.avi", "/clips/a.avi", "/clips/c.mov"})),
              "/clips|b.avi|a.avi|c.mov||");
    EXPECT_EQ(shown(comdlg::selectionText({"/a.avi", "/b.avi"})), "/|a.avi|b.avi||");
    EXPECT_EQ(shown(comdlg::selectionText({"/x/Old (2019)/a.avi", "/x/Old (2019)/b.avi"})),
              "/x/Old (2019)|a.avi|b.avi||");
}

TEST(SelectionText, NamesKeepBlanksAndAnyScript) {
    const QStringList paths{"/films/ leading.avi", "/films/trailing.avi ", "/films/été.mov",
                            "/films/日本 ビデオ.mpg"};
    EXPECT_EQ(shown(comdlg::selectionText(paths)),
              "/films| leading.avi|trailing.avi |été.mov|日本 ビデオ.mpg||");
    EXPECT_EQ(shown(comdlg::selectionText({"/日本/ x .avi "})), "/日本/ x .avi ||");
}

// Each piece with a separator is a full path to the caller, so no name loses its folder.
TEST(SelectionText, FilesFromSeveralFoldersGoByTheirFullPaths) {
    EXPECT_EQ(shown(comdlg::selectionText({"/c/a.avi", "/c/sub/b.avi", "/d/e.avi"})),
              "/c/a.avi|/c/sub/b.avi|/d/e.avi||");
}

TEST(SelectionText, LargeSelectionsSurviveWhole) {
    QStringList paths;
    QString expected = QStringLiteral("/many");
    for (int i = 0; i < 5000; ++i) {
        const QString name = QStringLiteral("clip number %1 with a long name.avi").arg(i);
        paths.append("/many/" + name);
        expected += u'|' + name;
    }
    EXPECT_EQ(shown(comdlg::selectionText(paths)), expected + "||");
}

TEST(CentredTopLeft, HalvesRoundToTheEvenNeighbour) {
    struct Case {
        QRect owner;
        QSize window;
        QPoint expected;
    };
    const QList<Case> cases{
        {{100, 50, 300, 200}, {425, 101}, {38, 100}},  // 37.5, 99.5
        {{101, 51, 300, 200}, {425, 101}, {38, 100}},  // 38.5, 100.5
        {{102, 0, 300, 200}, {425, 100}, {40, 50}},    // 39.5
        {{0, 0, 800, 600}, {400, 300}, {200, 150}},   {{0, 0, 1, 1}, {2, 2}, {0, 0}},  // -0.5
        {{-1, -2, 1, 1}, {2, 2}, {-2, -2}},                                            // -1.5, -2.5
    };
    for (const Case& c : cases) {
        EXPECT_EQ(comdlg::centredTopLeft(c.owner, c.window), c.expected)
            << c.owner.x() << "," << c.owner.y();
    }
}

TEST(CentredTopLeft, ASmallOwnerIsOverhungEquallyEvenOffScreen) {
    EXPECT_EQ(comdlg::centredTopLeft({0, 0, 200, 150}, {624, 408}), QPoint(-212, -129));
    const QRect owner(700, 700, 100, 100);
    const QPoint topLeft = comdlg::centredTopLeft(owner, {300, 200});
    EXPECT_EQ(topLeft, QPoint(600, 650));
    EXPECT_EQ(QRect(topLeft, QSize(300, 200)).center(), owner.center());
}
