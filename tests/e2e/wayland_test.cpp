#include <QDir>
#include <QFile>
#include <QProcess>

#include "e2e/saver_test.h"
#include "e2e/sway_session.h"
#include "support/store_file.h"

// The saver in a Wayland session, on its own and through XWayland: the movie shows, the saver
// stays while nothing happens, the pointer is hidden over it, and a key or a pointer move ends it.
namespace e2e {
namespace {

enum class Input { Key, PointerMove };

struct Case {
    const char* name;
    const char* platform;  // empty: Qt's own choice
    Input input;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

const Case kCases[] = {
    {"NativeKey", "", Input::Key},
    {"NativePointer", "", Input::PointerMove},
    {"XwaylandKey", "xcb", Input::Key},
    {"XwaylandPointer", "xcb", Input::PointerMove},
};

// Long enough for the saver to have ended by itself, as it did through XWayland.
constexpr int kStaysMs = 5000;
constexpr int kEndsAfterInputMs = 3000;

class WaylandTest : public SaverTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        if (const QString why = session_.start(); !why.isEmpty())
            GTEST_SKIP() << "no Wayland session: " << why.toStdString();
        const QString home = session_.home();
        ASSERT_TRUE(QDir(home).mkpath("config"));
        writePlayList({clip(kRedClip) + " (Origin)"});
        ASSERT_TRUE(QFile::copy(testsupport::storeFilePath(), home + "/config/FDK.conf"));
        ASSERT_TRUE(
            QFile::copy(qEnvironmentVariable("FDK_E2E_BINARY", FDK_BINARY), home + "/flickerdeck"));
        QFile::setPermissions(
            clipFolder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        ThrowawayUser::run({"chown", "-R", "--reference=" + home + "/runtime", home + "/config"});
        // Away from where the picture will be, so a pointer left showing spoils the screenshot.
        ASSERT_TRUE(session_.run({"swaymsg", "--", "seat", "-", "cursor", "set", "100", "100"}));
    }

    void TearDown() override {
        if (saver_.state() != QProcess::NotRunning) {
            saver_.kill();
            saver_.waitForFinished(5000);
        }
        SaverTest::TearDown();
    }

    void startSaver() {
        QStringList environment{"XDG_CONFIG_HOME=" + session_.home() + "/config"};
        if (*GetParam().platform) environment << QString("QT_QPA_PLATFORM=") + GetParam().platform;
        for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (qEnvironmentVariableIsSet(sanitizer))
                environment << QString(sanitizer) + "=" + qEnvironmentVariable(sanitizer);
        const QStringList command =
            session_.inside({session_.home() + "/flickerdeck", "/S"}, environment);
        saver_.setProcessChannelMode(QProcess::ForwardedChannels);
        saver_.start(command.first(), command.mid(1));
        ASSERT_TRUE(saver_.waitForStarted(10000));
    }

    ::testing::AssertionResult showsTheMovie() {
        Frame frame;
        const bool shown = eventually(
            [&] {
                const QImage screen = session_.screenshot();
                frame = analyseArea(screen, screen.rect());
                return frame.covered && frame.colour == Colour::Red &&
                       nearlyEqual(frame.picture, centredBox(screen.rect(), kRedClip.size));
            },
            15000);
        if (shown) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the movie never showed; last seen: " << frame;
    }

    SwaySession session_;
    QProcess saver_;
};

TEST_P(WaylandTest, ShowsTheMovieStaysWithoutInputAndEndsAtInput) {
    startSaver();
    ASSERT_TRUE(showsTheMovie());
    EXPECT_TRUE(keepsRunningFor(saver_, kStaysMs));
    ASSERT_TRUE(showsTheMovie()) << "after " << kStaysMs << " ms without input";
    if (GetParam().input == Input::Key)
        ASSERT_TRUE(session_.run({"wtype", "a"}));
    else
        ASSERT_TRUE(session_.run({"swaymsg", "--", "seat", "-", "cursor", "move", "-5", "-5"}));
    EXPECT_TRUE(endsCleanlyWithin(saver_, kEndsAfterInputMs));
}

INSTANTIATE_TEST_SUITE_P(Sessions, WaylandTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
