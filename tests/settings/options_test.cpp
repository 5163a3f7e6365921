#include <gtest/gtest.h>

#include "settings/options.h"
#include "support/store_file.h"

using settings::SaverOptions;

namespace {
SaverOptions optionsFrom(const QString& settingsSection) {
    testsupport::writeStoreFile("[Settings]\nActive=0\n" + settingsSection);
    settings::Store store;
    store.refresh();
    return settings::readSaverOptions(store);
}
}  // namespace

TEST(SaverOptions, ReadsWhatIsStoredAndTheDefaultForAnythingElse) {
    EXPECT_EQ(optionsFrom(""), SaverOptions{});
    EXPECT_EQ(optionsFrom("Shuffle=1\nResume=1\nVolume=35\nMute=1\nShrinkToFit=1\n"),
              (SaverOptions{true, true, 35, true, true}));
    EXPECT_EQ(optionsFrom("Volume=0\nMute=0\nShuffle= 1 \n"), (SaverOptions{true, false, 0}));
    // broken values: each reads as its default
    EXPECT_EQ(optionsFrom("Shuffle=yes\nResume=2\nVolume=101\nMute=-1\nShrinkToFit=1x\n"),
              SaverOptions{});
    EXPECT_EQ(optionsFrom("Volume=-5\n").volume, 100);
    EXPECT_EQ(optionsFrom("Volume=50.5\n").volume, 100);
}

TEST(SaverOptions, AWrittenSetReadsBackTheSame) {
    testsupport::writeStoreFile("");
    const SaverOptions wanted{true, false, 7, true, false};
    {
        settings::Store store;
        settings::writeSaverOptions(store, wanted);
        ASSERT_TRUE(store.commit());
    }
    settings::Store store;
    EXPECT_EQ(settings::readSaverOptions(store), wanted);
    EXPECT_TRUE(testsupport::readStoreFile().contains("Volume=7"));
}
