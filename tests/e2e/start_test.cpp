#include "e2e/saver_test.h"
#include "support/store_file.h"

// Starts that end before anything is shown.
namespace e2e {
namespace {

constexpr int kEndsAtOnceMs = 5000;

struct EmptyStore {
    const char* name;
    const char* ini;
    const char* said;  // on stderr
};

void PrintTo(const EmptyStore& store, std::ostream* out) {
    *out << store.name;
}

class EmptyListTest : public SaverTest, public ::testing::WithParamInterface<EmptyStore> {};

TEST_P(EmptyListTest, EndsAtOnceWithExitCodeZero) {
    testsupport::writeStoreFile(QString::fromUtf8(GetParam().ini));
    QProcess& saver = startSaver({"/S"}, {}, QProcess::ForwardedOutputChannel);
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAtOnceMs));
    const QString said = QString::fromLocal8Bit(saver.readAllStandardError());
    EXPECT_TRUE(said.contains(GetParam().said)) << qPrintable(said);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, EmptyListTest,
    ::testing::Values(EmptyStore{"CountMinusOne", "[Movies]\nCount=-1\n[Settings]\nActive=0\n",
                                 "play list is empty; add movies with \"flickerdeck /C\""},
                      EmptyStore{"NoStoreFile", "", "play list is empty"},
                      // Only the first position is looked at before anything plays.
                      EmptyStore{"FirstPositionMissing",
                                 "[Movies]\nCount=1\n[Movie]\n1=/nowhere/red.avi (Origin)\n",
                                 "none of the 1 entries"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PreviewCall {
    const char* name;
    QStringList arguments;
};

void PrintTo(const PreviewCall& call, std::ostream* out) {
    *out << call.arguments.join(' ').toStdString();
}

class PreviewTest : public SaverTest, public ::testing::WithParamInterface<PreviewCall> {};

// A playable list, so only the switch can be what ends it.
TEST_P(PreviewTest, EndsAtOnceWithoutMovingThePointer) {
    writePlayList({clip(kRedClip) + " (Origin)"});
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(xdotool({"mousemove", "100", "200"}));
    ASSERT_EQ(pointer(), QPoint(100, 200));

    QProcess& saver = startSaver(GetParam().arguments);
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAtOnceMs));
    EXPECT_EQ(pointer(), QPoint(100, 200));
}

INSTANTIATE_TEST_SUITE_P(Switches, PreviewTest,
                         ::testing::Values(PreviewCall{"LowerCaseWithHandle", {"/p", "1234"}},
                                           PreviewCall{"ColonHandle", {"/P:1234"}},
                                           PreviewCall{"BeforeConfigure", {"/P", "/C"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
