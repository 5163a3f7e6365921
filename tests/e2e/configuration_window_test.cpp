#include <signal.h>

#include <QSettings>
#include <algorithm>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"
#include "support/store_file.h"

// flickerdeck /C: the configuration window marks itself open in the store, and however it is
// closed it saves the list and ends the program.
namespace e2e {
namespace {

const QString kTitle = QStringLiteral("Flickerdeck, Version 1.0");
constexpr int kWindowShowsMs = 10000;
constexpr int kEndsAfterCloseMs = 5000;

struct Closing {
    const char* name;
    bool byWindowManager;  // else by SIGTERM
};

void PrintTo(const Closing& closing, std::ostream* out) {
    *out << closing.name;
}

QString storeValue(const QString& key) {
    return QSettings(testsupport::storeFilePath(), QSettings::IniFormat).value(key).toString();
}

class ConfigurationWindowTest : public SaverTest, public ::testing::WithParamInterface<Closing> {};

TEST_P(ConfigurationWindowTest, SavesTheListAndEndsWhenClosed) {
    // Count leaves room for three entries and the middle one is missing: the window lists two,
    // and saving writes them as the first two positions.
    const QString first = QStringLiteral("/movies/first clip.avi (Double)");
    const QString second = QStringLiteral("/movies/été 2.mpg (Origin)");
    testsupport::writeStoreFile(
        QStringLiteral("[Movies]\nCount=2\n\n[Movie]\n0=%1\n2=%2\n\n[Settings]\nActive=0\n")
            .arg(first, second));
    QProcess& saver = startSaver({QStringLiteral("/C")});

    XClient x;
    ASSERT_TRUE(x.connected());
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(eventually(
        [&] {
            window = x.findTopLevel(kTitle);
            const auto mapped = x.mappedTopLevels();
            return window != XCB_NONE && std::ranges::count(mapped, window) == 1;
        },
        kWindowShowsMs))
        << "no window titled " << kTitle.toStdString() << " came up";
    EXPECT_TRUE(eventually([] { return storeValue("Settings/Active") == "1"; }, 5000))
        << "Active is " << storeValue("Settings/Active").toStdString()
        << " while the window is open";
    ASSERT_TRUE(keepsRunningFor(saver, 0));

    if (GetParam().byWindowManager)
        ASSERT_TRUE(x.sendDeleteWindow(window));
    else
        ASSERT_TRUE(sendSignal(saver, SIGTERM));

    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterCloseMs));
    EXPECT_EQ(storeValue("Movies/Count"), "1");
    EXPECT_EQ(storeValue("Movie/0"), first);
    EXPECT_EQ(storeValue("Movie/1"), second);
    EXPECT_EQ(storeValue("Settings/Active"), "0");
}

INSTANTIATE_TEST_SUITE_P(Closings, ConfigurationWindowTest,
                         ::testing::Values(Closing{"CloseButton", true}, Closing{"Sigterm", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
