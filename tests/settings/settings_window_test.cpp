#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>

#include "settings/entry_check.h"
#include "settings/entry_marks.h"
#include "settings/image_button.h"
#include "settings/options_dialog.h"
#include "settings/qt_translations.h"
#include "settings/settings_window.h"
#include "support/clips.h"
#include "support/store_file.h"

using settings::SettingsWindow;
using testsupport::readStoreFile;
using testsupport::writeStoreFile;

namespace {

QString stored(const QString& key) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "FDK");
    return s.value(key).toString();
}

}  // namespace

class SettingsWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<SettingsWindow> open(const QString& ini) {
        writeStoreFile(ini);
        auto window = std::make_unique<SettingsWindow>(
            [this](QString& filter, qint16& index, const QString& title) {
                chooserCalls << QStringList{filter, QString::number(index), title};
                if (!chooserAnswer.isEmpty()) index = 4;  // the user picked another filter
                return chooserAnswer;
            });
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    void select(SettingsWindow& w, int row) {
        QListWidget* list = w.lstFiles;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // A pick in the size list, as the keyboard makes it.
    void pick(SettingsWindow& w, const QString& word) {
        w.cbxSizes->setFocus();
        const Qt::Key key =
            w.cbxSizes->findText(word) > w.cbxSizes->currentIndex() ? Qt::Key_Down : Qt::Key_Up;
        for (int i = 0; i < w.cbxSizes->count() && w.cbxSizes->currentText() != word; ++i)
            QTest::keyClick(w.cbxSizes, key);
    }

    QString chooserAnswer;
    QList<QStringList> chooserCalls;
};

constexpr const char* kWithGap =
    "[Movies]\nCount=3\n[Movie]\n0=/c/a.avi (Origin)\n1=\n2=/c (old)/b.avi (Double)\n"
    "3=/c/c.avi (Origin)\n4=/stale.avi (Origin)\n";

TEST_F(SettingsWindowTest, LoadShowsTheStoredListAndMarksTheWindowOpen) {
    auto w = open(kWithGap);
    EXPECT_EQ(w->windowTitle(), "Flickerdeck, Version 1.0");
    EXPECT_EQ(w->entries(),
              (QStringList{"/c/a.avi (Origin)", "/c (old)/b.avi (Double)", "/c/c.avi (Origin)"}));
    EXPECT_EQ(w->cbxSizes->currentText(), "Origin");
    EXPECT_EQ(w->cbxSizes->itemText(2), "Fit");
    EXPECT_EQ(w->cbxSizes->count(), 3);
    EXPECT_TRUE(w->lstFiles->selectedItems().isEmpty());
    EXPECT_EQ(stored("Settings/Active"), "1");
    EXPECT_EQ(w->size(), QSize(330, 286));
}

TEST_F(SettingsWindowTest, TheSizeListFollowsTheSelectedEntryAndRewritesOnlyIt) {
    auto w = open(kWithGap);
    select(*w, 1);
    EXPECT_EQ(w->cbxSizes->currentText(), "Double");
    pick(*w, "Origin");
    EXPECT_EQ(w->entries(),
              (QStringList{"/c/a.avi (Origin)", "/c (old)/b.avi (Origin)", "/c/c.avi (Origin)"}));
    select(*w, 2);
    pick(*w, "Double");
    EXPECT_EQ(w->entries().at(2), "/c/c.avi (Double)");
    EXPECT_EQ(w->lstFiles->currentRow(), 2);

    w->lstFiles->setFocus();
    QTest::keyClick(w->lstFiles, Qt::Key_Up);
    EXPECT_EQ(w->cbxSizes->currentText(), "Origin");
}

// Tab goes from the list through the buttons to the size list, skipping what is disabled, and
// Escape closes the window, which saves.
TEST_F(SettingsWindowTest, TheKeyboardReachesEverythingThatCanBeUsedNow) {
    auto w = open(kWithGap);
    QWidget* add = w->imgControls.button(0);
    QWidget* remove = w->imgControls.button(1);
    w->activateWindow();
    w->lstFiles->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w->lstFiles->currentRow(), 0) << "the focus shows on an entry";
    EXPECT_TRUE(w->lstFiles->selectedItems().isEmpty());
    EXPECT_FALSE(w->cbxSizes->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    QTest::keyClick(w->lstFiles, Qt::Key_Tab);
    EXPECT_TRUE(add->hasFocus());
    QTest::keyClick(add, Qt::Key_Tab);
    EXPECT_TRUE(w->lstFiles->hasFocus());

    QTest::keyClick(w->lstFiles, Qt::Key_Down);
    EXPECT_TRUE(w->cbxSizes->isEnabled() && remove->isEnabled());
    for (QWidget* next : {add, remove, static_cast<QWidget*>(w->cbxSizes)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    QTest::keyClick(w->cbxSizes, Qt::Key_Tab);
    QTest::keyClick(w->lstFiles, Qt::Key_Delete);
    EXPECT_FALSE(w->cbxSizes->isEnabled());
    EXPECT_EQ(w->lstFiles->currentRow(), 1);
    QTest::keyClick(w->lstFiles, Qt::Key_Tab);
    QTest::keyClick(add, Qt::Key_Space);
    EXPECT_EQ(chooserCalls.size(), 1);

    QTest::keyClick(w->lstFiles, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(stored("Movie/1"), "/c/c.avi (Origin)");
    EXPECT_EQ(stored("Settings/Active"), "0");
}

TEST_F(SettingsWindowTest, AnEntryWithoutModeWordShowsItsOwnSizeAndKeepsItsPath) {
    auto w = open("[Movies]\nCount=1\n[Movie]\n0=/c/Old (2019)/a.avi\n1=/c/b.avi (Double)\n");
    select(*w, 1);
    select(*w, 0);
    EXPECT_EQ(w->cbxSizes->currentText(), "Origin");
    EXPECT_EQ(w->entries().at(0), "/c/Old (2019)/a.avi");
    pick(*w, "Double");
    EXPECT_EQ(w->entries().at(0), "/c/Old (2019)/a.avi (Double)");
}

// Ctrl+Up and Delete are driven end to end.
TEST_F(SettingsWindowTest, CtrlDownMovesTheSelectedEntryInsertAndCtrlOAdd) {
    auto w = open(kWithGap);
    select(*w, 0);
    QTest::keyClick(w->lstFiles, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(w->entries().at(1), "/c/a.avi (Origin)");
    EXPECT_EQ(w->lstFiles->selectedItems().value(0), w->lstFiles->item(1));
    QTest::keyClick(w->lstFiles, Qt::Key_Insert);
    QTest::keyClick(w->cbxSizes, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(chooserCalls.size(), 2);
}

TEST_F(SettingsWindowTest, EntriesThatCannotPlayAreMarkedAndEveryTooltipShowsTheWholeEntry) {
    QTemporaryDir folder;
    const QString movie = folder.path() + "/a.avi (Origin)";
    ASSERT_TRUE(QFile(folder.path() + "/a.avi").open(QIODevice::WriteOnly));
    auto w = open(QString("[Movies]\nCount=1\n[Movie]\n0=%1\n1=/gone/b.avi (Double)\n").arg(movie));
    w->marks()->checkNewEntries();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->marks()->problemAt(1).isEmpty(); }, 5000));
    EXPECT_EQ(w->marks()->problemAt(0), "");
    EXPECT_TRUE(w->lstFiles->item(0)->icon().isNull());
    EXPECT_FALSE(w->lstFiles->item(1)->icon().isNull());
    EXPECT_EQ(w->entries().at(1), "/gone/b.avi (Double)");
    for (int row : {0, 1}) {
        const QRect item = w->lstFiles->visualItemRect(w->lstFiles->item(row));
        QHelpEvent help(QEvent::ToolTip, item.center(),
                        w->lstFiles->viewport()->mapToGlobal(item.center()));
        QApplication::sendEvent(w->lstFiles->viewport(), &help);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QToolTip::isVisible(); }, 2000));
        EXPECT_TRUE(QToolTip::text().contains(w->entries().at(row)))
            << qPrintable(QToolTip::text());
    }
    EXPECT_TRUE(QToolTip::text().contains("does not exist"));
}

TEST_F(SettingsWindowTest, AddAppendsOneEntryPerChosenFile) {
    QTemporaryDir folder;
    chooserAnswer = folder.path() + QChar(u'\0') + "a.avi" + QChar(u'\0') + "b c.avi" +
                    QChar(u'\0') + QChar(u'\0');
    auto w = open(kWithGap);
    select(*w, 0);
    QTest::mouseClick(w->imgControls.button(0), Qt::LeftButton);
    ASSERT_EQ(chooserCalls.size(), 1);
    EXPECT_EQ(chooserCalls[0][0].section(u'|', 0, 0), "All Videos (*.avi,*.mov,*.mpg)");
    EXPECT_EQ(chooserCalls[0][2], "Select movie");
    EXPECT_EQ(chooserCalls[0][1], "0") << "the first open starts on the first filter";
    EXPECT_EQ(w->entries().mid(3), (QStringList{folder.path() + "/a.avi (Origin)",
                                                folder.path() + "/b c.avi (Origin)"}));
    EXPECT_EQ(w->lstFiles->selectedItems().size(), 1);

    chooserAnswer.clear();
    QTest::mouseClick(w->imgControls.button(0), Qt::LeftButton);
    EXPECT_EQ(w->entries().size(), 5);
    EXPECT_EQ(chooserCalls.value(1).value(1), "4") << "the filter picked the time before";
}

// The store numbers entries in 16 bits; one more would be saved and lost at the next opening.
TEST_F(SettingsWindowTest, AFullListRefusesMoreAndSaysSo) {
    QString ini = "[Movies]\nCount=32766\n[Movie]\n";
    for (int k = 0; k <= 32766; ++k) ini += QStringLiteral("%1=/m/%1.avi\n").arg(k);
    chooserAnswer = "/m/new.avi";
    auto w = open(ini);
    QString message;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) message = box->text();
        if (box) box->accept();
    });
    w->imgControls_Click(0);
    EXPECT_EQ(w->entries().size(), 32767);
    EXPECT_TRUE(message.contains(QLocale().toString(32767) + " movies, so 1 more"));
}

TEST_F(SettingsWindowTest, RemoveDeletesTheSelectedEntryOnly) {
    auto w = open(kWithGap);
    auto* remove = static_cast<settings::ImageButton*>(w->imgControls.button(1));
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(w->entries().size(), 3);

    select(*w, 1);
    QTest::mousePress(remove, Qt::LeftButton);
    EXPECT_EQ(remove->borderStyle(), 1);
    QTest::mouseRelease(remove, Qt::LeftButton);
    EXPECT_EQ(remove->borderStyle(), 0);
    EXPECT_EQ(w->entries(), (QStringList{"/c/a.avi (Origin)", "/c/c.avi (Origin)"}));
    EXPECT_TRUE(w->lstFiles->selectedItems().isEmpty());
    EXPECT_EQ(w->cbxSizes->currentText(), "Double");
}

TEST_F(SettingsWindowTest, ClosingSavesTheListInOrderAndClearsTheOpenFlag) {
    auto w = open(kWithGap);
    select(*w, 0);
    QTest::mouseClick(w->imgControls.button(1), Qt::LeftButton);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(stored("Movies/Count"), "1");
    EXPECT_EQ(stored("Movie/0"), "/c (old)/b.avi (Double)");
    EXPECT_EQ(stored("Movie/1"), "/c/c.avi (Origin)");
    EXPECT_EQ(stored("Movie/4"), "/stale.avi (Origin)");
    EXPECT_EQ(stored("Settings/Active"), "0");
}

TEST_F(SettingsWindowTest, AFailedSaveTellsTheUserAndKeepsTheEdits) {
    auto w = open(kWithGap);
    QFile::remove(testsupport::storeFilePath());
    ASSERT_TRUE(QDir().mkpath(testsupport::storeFilePath()));
    QString message;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        message = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Keep editing") b->click();
    });
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(message.contains("could not be saved")) << qPrintable(message);
    EXPECT_EQ(w->entries().size(), 3);

    QTimer::singleShot(50, [&] {
        QDir(testsupport::storeFilePath()).removeRecursively();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Retry)->click();
    });
    EXPECT_TRUE(w->close());
    EXPECT_EQ(stored("Movie/2"), "/c/c.avi (Origin)");
}

TEST_F(SettingsWindowTest, ADamagedStoreIsCopiedAsideBeforeItIsOverwritten) {
    const QByteArray damaged("[Movies\nCount=1\n\x01\x02\xff\xfe[Movie]\n0=/c/a.avi (Origin)\n");
    writeStoreFile("");
    QFile file(testsupport::storeFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    auto w = std::make_unique<SettingsWindow>(
        [](QString&, qint16&, const QString&) { return QString(); });
    QFile copy(testsupport::storeFilePath() + ".corrupt");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(stored("Settings/Active"), "0");
}

TEST_F(SettingsWindowTest, ControlsFollowTheWindowSize) {
    auto w = open("");
    EXPECT_EQ(w->lstFiles->geometry(), QRect(0, 34, 330, 252));
    EXPECT_EQ(w->picContainer->width(), 330);
    EXPECT_EQ(w->cbxSizes->x(), 225);
    EXPECT_EQ(w->imgSize->x(), 192);
    w->resize(150, 20);
    QTest::qWait(20);
    EXPECT_EQ(w->lstFiles->size(), QSize(210, 0));
    EXPECT_EQ(w->cbxSizes->x(), 105);
    EXPECT_EQ(w->imgSize->x(), 72);
    w->resize(500, 400);
    const QRect list = w->lstFiles->geometry();
    w->showMinimized();
    QTest::qWait(20);
    EXPECT_EQ(w->lstFiles->geometry(), list);
}

// The dialog opens from its key and from the list's menu; it edits what the window saves at its
// close, and nothing before.
TEST_F(SettingsWindowTest, OptionsAreEditedInTheirDialogAndSavedOnlyWithTheWindow) {
    auto w = open(QString(kWithGap) + "[Settings]\nVolume=70\nShuffle=1\n");
    const auto answer = [](bool accept) {
        QTimer::singleShot(50, [accept] {
            auto* dialog =
                qobject_cast<settings::OptionsDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->spnVolume->value(), 70);
            EXPECT_EQ(dialog->chkResume->isEnabled(), !accept);  // not while shuffled
            dialog->chkShuffle->setChecked(!accept);
            dialog->chkResume->setChecked(accept);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answer(true);
    QTest::keyClick(w->lstFiles, Qt::Key_Comma, Qt::ControlModifier);
    QStringList menu;
    QTimer::singleShot(50, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        for (QAction* action : popup->actions()) menu << action->text();
        popup->close();
        answer(false);  // shows what was accepted, and a cancel keeps it
        for (QAction* action : popup->actions())
            if (action->text() == "&Options...") action->trigger();
    });
    emit w->lstFiles->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(menu.join('|').remove('&'),
              "Add movies...|Remove|Move up|Move down||Options...|Add to XScreenSaver");
    EXPECT_EQ(stored("Settings/Resume"), "");
    EXPECT_TRUE(w->close());
    EXPECT_EQ(stored("Settings/Resume"), "1");
    EXPECT_EQ(stored("Settings/Shuffle"), "0");
    EXPECT_EQ(stored("Settings/Volume"), "70");
}

// The offscreen screen is 800 x 800. The sizes come from the files themselves, in the background.
TEST_F(SettingsWindowTest, MoviesTheScreenCutsOffAreMarkedUntilTheyFit) {
    QTemporaryDir folder;
    const auto clip = [&](const char* name, QSize size) {
        return testsupport::solidClip(folder.path(), name, "red", size, 0.2);
    };
    const QString tall = clip("tall.avi", {200, 900}), wide = clip("wide.avi", {500, 300});
    auto w = open(QString("[Movies]\nCount=2\n[Movie]\n0=%1 (Origin)\n1=%2 (Origin)\n"
                          "2=%2 (Double)\n")
                      .arg(tall, wide));
    const auto notes = [&] {
        QStringList marked;
        for (int row = 0; row < w->lstFiles->count(); ++row)
            marked << (w->marks()->noteAt(row).isEmpty() ? "-" : "cut");
        return marked.join(' ');
    };
    w->marks()->checkNewEntries();
    EXPECT_TRUE(QTest::qWaitFor([&] { return notes() == "cut - cut"; }, 10000))
        << qPrintable(notes());
    EXPECT_TRUE(w->marks()->noteAt(0).startsWith("Larger than the screen"));
    EXPECT_FALSE(w->lstFiles->item(0)->icon().isNull());
    select(*w, 0);
    pick(*w, "Fit");
    EXPECT_EQ(w->entries().at(0), tall + " (Fit)");
    EXPECT_EQ(notes(), "- - cut");
    EXPECT_TRUE(w->lstFiles->item(0)->icon().isNull());

    QTimer::singleShot(50, [] {
        auto* dialog = qobject_cast<settings::OptionsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->chkShrinkToFit->setChecked(true);
        dialog->accept();
    });
    w->showOptions();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return notes() == "- - -"; }, 10000)) << qPrintable(notes());
}

TEST(QtTranslations, QtsOwnTextsFollowTheLocaleAndTheProgramsStay) {
    EXPECT_EQ(settings::installQtTranslations(QLocale("sw_KE")), nullptr);
    const std::unique_ptr<QTranslator> german(settings::installQtTranslations(QLocale("de_DE")));
    ASSERT_NE(german, nullptr) << "qt6-translations-l10n is missing (scripts/install-deps.sh)";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
    EXPECT_EQ(settings::entryProblem("/gone.avi (Origin)"), "The file does not exist.");
}
