#include <QDir>
#include <QFile>
#include <QSettings>
#include <QUrl>
#include <algorithm>

#include "comdlg/qstring_printer.h"  // readable lists in failures
#include "e2e/saver_test.h"
#include "e2e/x_client.h"
#include "support/store_file.h"

// The configuration window driven as a user does: a drag within the list, keys, files dropped
// from another program, and a second /C while it is open.
namespace e2e {
namespace {

const QString kEditorTitle = QStringLiteral("Flickerdeck, Version 1.0");

class EditorTest : public SaverTest {
protected:
    // The editor's window once it is mapped, with the keyboard on it; 0 (and a failure) if not.
    xcb_window_t openEditor() {
        editor = &startSaver({QStringLiteral("/C")});
        xcb_window_t window = XCB_NONE;
        EXPECT_TRUE(eventually(
            [&] {
                window = x.findTopLevel(kEditorTitle);
                return window && std::ranges::count(x.mappedTopLevels(), window) == 1;
            },
            10000));
        EXPECT_TRUE(xdotool({"windowfocus", "--sync", id(window)}));
        return window;
    }
    static QString id(xcb_window_t window) { return QString::number(window); }
    static QStringList savedList() {
        const QSettings store(testsupport::storeFilePath(), QSettings::IniFormat);
        QStringList list;
        for (int i = 0; i <= store.value("Movies/Count").toInt(); ++i)
            list << store.value(QStringLiteral("Movie/%1").arg(i)).toString();
        return list;
    }
    // Exit status of the XDND helper: 0 taken, 3 refused.
    static int drop(xcb_window_t window, const QStringList& uris) {
        QProcess helper;
        helper.start(QStringLiteral(XDND_DROP), QStringList{id(window), "60", "150"} + uris);
        return helper.waitForFinished(15000) ? helper.exitCode() : -1;
    }

    XClient x;
    QProcess* editor = nullptr;
};

TEST_F(EditorTest, DragKeysAndADropEditTheList) {
    writePlayList({"/m/a.avi (Origin)", "/m/b.avi (Origin)", "/m/c.avi (Double)", "/m/d.avi"});
    const QString folder = clipFolder() + "/set";
    ASSERT_TRUE(QDir().mkpath(folder + "/sub.mp4"));
    for (const QString& file :
         {clipFolder() + "/e.MP4", folder + "/2.mkv", folder + "/1.webm", folder + "/notes.txt"})
        ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    const xcb_window_t window = openEditor();
    ASSERT_TRUE(window);

    // The first entry dragged below the last; then the last one up twice, and removed.
    const QString w = id(window);
    ASSERT_TRUE(
        xdotool({"mousemove", "--window", w,           "30",       "42",    "mousedown", "1",
                 "sleep",     "0.2",      "mousemove", "--window", w,       "30",        "80",
                 "sleep",     "0.2",      "mousemove", "--window", w,       "30",        "250",
                 "sleep",     "0.2",      "mouseup",   "1",        "sleep", "0.3"}));
    ASSERT_TRUE(xdotool({"key", "--delay", "150", "End", "ctrl+Up", "ctrl+Up", "Delete"}));
    EXPECT_EQ(drop(window, {"http://example.org/x.avi"}), 3);
    EXPECT_EQ(drop(window, {QUrl::fromLocalFile(clipFolder() + "/e.MP4").toString(),
                            QUrl::fromLocalFile(folder).toString()}),
              0);
    pause(300);
    ASSERT_TRUE(x.sendDeleteWindow(window));
    EXPECT_TRUE(endsCleanlyWithin(*editor, 5000));
    EXPECT_EQ(savedList(), (QStringList{"/m/b.avi (Origin)", "/m/c.avi (Double)", "/m/d.avi",
                                        clipFolder() + "/e.MP4 (Origin)",
                                        folder + "/1.webm (Origin)", folder + "/2.mkv (Origin)"}));
}

TEST_F(EditorTest, ASecondEditorBringsTheOpenOneForwardAndEnds) {
    writePlayList({"/m/a.avi (Origin)"});
    const xcb_window_t window = openEditor();
    ASSERT_TRUE(window);
    const QString storeWhileOpen = testsupport::readStoreFile();
    const xcb_window_t cover = x.createWindow(QRect(0, 0, 1024, 768), 0x808080);
    ASSERT_TRUE(eventually([&] { return x.mappedTopLevels().back() == cover; }, 5000));

    QProcess& second = startSaver({QStringLiteral("/C")});
    EXPECT_TRUE(endsCleanlyWithin(second, 10000));
    EXPECT_TRUE(eventually([&] { return x.mappedTopLevels().back() == window; }, 5000));
    EXPECT_EQ(testsupport::readStoreFile(), storeWhileOpen);
    EXPECT_TRUE(keepsRunningFor(*editor, 0));
    ASSERT_TRUE(x.sendDeleteWindow(window));
    EXPECT_TRUE(endsCleanlyWithin(*editor, 5000));
    EXPECT_EQ(savedList(), QStringList{"/m/a.avi (Origin)"});
}

}  // namespace
}  // namespace e2e
