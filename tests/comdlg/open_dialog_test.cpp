#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <functional>

#include "comdlg/comdlg.h"
#include "comdlg/open_parts.h"
#include "comdlg/qstring_printer.h"
#include "settings/movie_files.h"

namespace {

const QString kTitle = QStringLiteral("Choose a movie");
const QString kOddName = QStringLiteral(" é 日本.avi");

// Runs `drive` from inside ShowOpenDialog's event loop once the dialog is up.
void whenDialogShows(std::function<void(QFileDialog&)> drive) {
    QTimer::singleShot(0, qApp, [drive] {
        QFileDialog* dialog = nullptr;
        const bool up = QTest::qWaitFor(
            [&] {
                dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                return dialog && dialog->isVisible();
            },
            10000);
        if (up)
            drive(*dialog);
        else
            ADD_FAILURE() << "no open-file dialog came up";
    });
}

QStringList listedNames(const QFileDialog& dialog) {
    const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!view || !view->model()) return names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    return names;
}

QStringList comboTexts(const QFileDialog& dialog) {
    QStringList texts;
    if (const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < combo->count(); ++i) texts.append(combo->itemText(i));
    return texts;
}

// Waits until the dialog sits where the centring puts it over `owner`; true if it got there.
bool centredOver(const QFileDialog& dialog, const QRect& owner) {
    const QPoint expected = comdlg::centredTopLeft(owner, dialog.frameGeometry().size());
    const bool there =
        QTest::qWaitFor([&] { return dialog.frameGeometry().topLeft() == expected; }, 5000);
    EXPECT_EQ(dialog.frameGeometry().topLeft(), expected);
    return there;
}

// Types into the file-name edit as the user would; null (and the dialog cancelled) without one.
QLineEdit* typeNames(QFileDialog& dialog, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) {
        ADD_FAILURE() << "no file-name edit";
        dialog.reject();
        return nullptr;
    }
    edit->setText(text);
    return edit;
}

void typeAndConfirm(QFileDialog& dialog, const QString& text) {
    if (QLineEdit* edit = typeNames(dialog, text)) QTest::keyClick(edit, Qt::Key_Return);
}

class OpenDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        startFolder_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(temp_.path()));
        root_ = QDir::currentPath();
        clips_ = root_ + "/clips";
        ASSERT_TRUE(QDir().mkpath(clips_));
        for (const char* name : {"CLIP.AVI", "b.avi", "c.mov", "d.MPG", "notes.txt"})
            ASSERT_TRUE(QFile(clips_ + '/' + QString::fromUtf8(name)).open(QIODevice::WriteOnly));
        ASSERT_TRUE(QFile(clips_ + '/' + kOddName).open(QIODevice::WriteOnly));
        // A dialog left open by a failed check would otherwise hold the test until ctest's timeout.
        guard_.setSingleShot(true);
        guard_.callOnTimeout([] {
            for (int i = 0; i < 5 && QApplication::activeModalWidget(); ++i) {
                ADD_FAILURE() << "closing a dialog left open";
                QApplication::activeModalWidget()->close();
            }
        });
        guard_.start(60000);
    }
    void TearDown() override { QDir::setCurrent(startFolder_); }

    QTemporaryDir temp_;
    QString startFolder_, root_, clips_;
    QTimer guard_;
};

TEST_F(OpenDialog, ConfirmingHandsBackTheFilesAndMovesTheWorkingDirectory) {
    QWidget owner;
    // Smaller than the dialog near the bottom-right corner, where Qt alone would pull the dialog
    // back onto the screen; the halves (387.5, 520.5 here) round one up and one down. Not near the
    // top-left: the offscreen platform nudges windows there by its frame margin on every resize.
    owner.setGeometry(651, 701, 101, 51);
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    ASSERT_EQ(QApplication::activeWindow(), &owner);

    QStringList dialogOrder;
    whenDialogShows([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), kTitle);
        EXPECT_EQ(dialog.directory().absolutePath(), root_);
        EXPECT_TRUE(centredOver(dialog, owner.frameGeometry()));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_GT(dialog.frameGeometry().right(), screen.right());
        EXPECT_GT(dialog.frameGeometry().bottom(), screen.bottom());
        EXPECT_EQ(comboTexts(dialog),
                  (QStringList{"All Videos (*.avi,*.mov,*.mpg)", "Microsoft Video (*.avi)",
                               "Quick Time (*.mov)", "Mpeg Movies (*.mpg)", "Waves (*.wav)"}));
        EXPECT_EQ(dialog.selectedNameFilter(), "All Videos (*.avi,*.mov,*.mpg)");

        dialog.setDirectory(clips_);
        const QStringList videos{"CLIP.AVI", "b.avi", "c.mov", "d.MPG", kOddName};
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const QStringList listed = listedNames(dialog);
                return std::all_of(videos.begin(), videos.end(),
                                   [&](const QString& name) { return listed.contains(name); });
            },
            10000))
            << listedNames(dialog).join(", ").toStdString();
        EXPECT_FALSE(listedNames(dialog).contains("notes.txt"));

        QLineEdit* edit = typeNames(dialog, "\"CLIP.AVI\" \"b.avi\" \"" + kOddName + '"');
        if (!edit) return;
        QObject::connect(&dialog, &QFileDialog::filesSelected, [&](const QStringList& files) {
            for (const QString& path : files) dialogOrder.append(QFileInfo(path).fileName());
        });
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString filter = kCallerFilter;
    qint16 filterIndex = 0;
    const QString result = comdlg::ShowOpenDialog(filter, filterIndex, kTitle);

    const QStringList pieces = result.split(QChar(u'\0'));
    ASSERT_EQ(pieces.size(), 6) << ::testing::PrintToString(result);
    EXPECT_EQ(pieces.at(0), clips_);
    EXPECT_EQ(pieces.mid(1, 3), dialogOrder);
    QStringList names = pieces.mid(1, 3);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (QStringList{kOddName, "CLIP.AVI", "b.avi"}));
    EXPECT_EQ(pieces.mid(4), (QStringList{"", ""}));
    EXPECT_EQ(filterIndex, 1);
    EXPECT_FALSE(filter.contains(u'|'));
    EXPECT_EQ(filter.count(QChar(u'\0')), 9);
    EXPECT_EQ(filter.section(QChar(u'\0'), 0, 1),
              "All Videos (*.avi,*.mov,*.mpg)" + QString(QChar(u'\0')) + "*.avi;*.mov;*.mpg");
    EXPECT_EQ(QDir::currentPath(), clips_);
}

TEST_F(OpenDialog, ThePairOnShowAtTheConfirmIsTheOneReported) {
    ASSERT_TRUE(QDir::setCurrent(clips_));
    whenDialogShows([&](QFileDialog& dialog) {
        // as the user does it: the keyboard on the file-type box
        if (auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < 3; ++i) QTest::keyClick(combo, Qt::Key_Down);
        EXPECT_EQ(dialog.selectedNameFilter(), "Mpeg Movies (*.mpg)");
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return listedNames(dialog) == QStringList{"d.MPG"}; }, 10000))
            << listedNames(dialog).join(", ").toStdString();
        typeAndConfirm(dialog, "d.MPG");
    });
    QString filter = kCallerFilter;
    qint16 filterIndex = 1;
    const QString result = comdlg::ShowOpenDialog(filter, filterIndex, kTitle);
    EXPECT_EQ(result, clips_ + "/d.MPG" + QString(2, QChar(u'\0')));
    EXPECT_EQ(filterIndex, 4);
    EXPECT_EQ(QDir::currentPath(), clips_);
}

TEST_F(OpenDialog, CancellingLeavesIndexAndWorkingDirectoryAlone) {
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    whenDialogShows([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), nullptr);
        EXPECT_TRUE(centredOver(dialog, QGuiApplication::primaryScreen()->availableGeometry()));
        EXPECT_EQ(dialog.selectedNameFilter(), "Quick Time (*.mov)");
        dialog.setDirectory(clips_);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return listedNames(dialog) == QStringList{"c.mov"}; }, 10000))
            << listedNames(dialog).join(", ").toStdString();
        typeNames(dialog, "b.avi");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QString filter = kCallerFilter;
    qint16 filterIndex = 3;
    EXPECT_EQ(comdlg::ShowOpenDialog(filter, filterIndex, kTitle), "");
    EXPECT_EQ(filterIndex, 3);
    EXPECT_EQ(QDir::currentPath(), root_);
    EXPECT_EQ(filter.count(QChar(u'\0')), 9);
}

TEST_F(OpenDialog, OddLabelsAndPatternsReachTheDialogIntact) {
    const QList<comdlg::NameFilter> pairs{
        {"  Two  blanks (x) [y] ", {"my clip (2).avi", "*vidéo.avi", "clip[1].avi"}},
        {"Everything", {"*.*"}}};
    whenDialogShows([&](QFileDialog& dialog) {
        EXPECT_EQ(comboTexts(dialog), (QStringList{pairs.at(0).label, pairs.at(1).label}));
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* model = dialog.findChild<QFileSystemModel*>();
        EXPECT_TRUE(combo && model);
        for (int i = 0; combo && model && i < pairs.size(); ++i) {
            combo->setCurrentIndex(i);
            emit combo->activated(i);
            QStringList expected;
            for (const QString& pattern : pairs.at(i).patterns)
                expected.append(comdlg::caseInsensitivePattern(pattern));
            EXPECT_EQ(model->nameFilters(), expected) << i;
        }
        dialog.reject();
    });
    QString filter =
        "  Two  blanks (x) [y] |my clip (2).avi; *vidéo.avi ;clip[1].avi|Everything|*.*";
    qint16 filterIndex = 0;
    EXPECT_EQ(comdlg::ShowOpenDialog(filter, filterIndex, kTitle), "");
}

TEST_F(OpenDialog, TheMovieFiltersOfferEveryMovieFileInAnyCaseAtAReadableSize) {
    ASSERT_TRUE(QFile(clips_ + "/e.Mp4").open(QIODevice::WriteOnly));
    whenDialogShows([&](QFileDialog& dialog) {
        EXPECT_EQ(comboTexts(dialog).value(6), "All Files (*.*)");
        EXPECT_GE(dialog.width(), 700);  // Qt's own first size is about 620
        dialog.setDirectory(clips_);
        const auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(details, nullptr);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return listedNames(dialog).contains("CLIP.AVI"); }, 10000));
        const QModelIndex folder = details->rootIndex();
        for (int row = 0; row < details->model()->rowCount(folder); ++row)
            for (int column : {1, 2, 3}) {  // size, type, date
                const QString text = details->model()->index(row, column, folder).data().toString();
                EXPECT_LE(details->fontMetrics().horizontalAdvance(text) + 4,
                          details->header()->sectionSize(column))
                    << qPrintable(text);
            }
        typeAndConfirm(dialog, "e.Mp4");
    });
    QString filter = settings::kMovieFilter;
    qint16 filterIndex = 0;
    EXPECT_EQ(comdlg::ShowOpenDialog(filter, filterIndex, kTitle),
              clips_ + "/e.Mp4" + QString(2, QChar(u'\0')));
}

}  // namespace
