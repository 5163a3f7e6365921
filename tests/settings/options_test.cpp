#include <gtest/gtest.h>

#include "settings/options.h"
#include "support/store_file.h"

using settings::SaverOptions;

TEST(SaverOptions, ReadsWhatIsStoredAndTheDefaultForAnythingElse) {
    const std::pair<const char*, SaverOptions> cases[] = {
        {"", {}},
        {"Shuffle=1\nResume=1\nVolume=35\nMute=1\nShrinkToFit=1\n", {true, true, 35, true, true}},
        {"Volume=0\nShuffle= 1 \n", {true, false, 0, false, false}},
        {"Shuffle=yes\nResume=2\nVolume=101\nMute=-1\nShrinkToFit=1x\n", {}},
        {"Volume=-5\n", {}},
        {"Volume=50.5\n", {}},
        {"Monitors=Same\n", {.monitors = settings::Monitors::Same}},
        {"Monitors= Primary\n", {.monitors = settings::Monitors::Primary}},
        {"Monitors=same\nMonitors2=Same\n", {}},
    };
    for (const auto& [text, options] : cases) {
        testsupport::writeStoreFile(QStringLiteral("[Settings]\n") + text);
        EXPECT_EQ(settings::readSaverOptions(settings::Store()), options) << text;
    }
    settings::Store store;
    settings::writeSaverOptions(store, {true, false, 7, true, false, settings::Monitors::Primary});
    ASSERT_TRUE(store.commit());
    EXPECT_EQ(settings::readSaverOptions(settings::Store()),
              (SaverOptions{true, false, 7, true, false, settings::Monitors::Primary}));
}
