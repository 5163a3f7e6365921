#pragma once

#include <gtest/gtest.h>

#include <QCursor>
#include <memory>

#include "fake_player.h"
#include "platform/pointer.h"
#include "saver/master.h"
#include "support/store_file.h"

// A saver window with a fake player, a real store in the test's private folder, and an end
// that is recorded instead of ending the test.
class MasterTest : public ::testing::Test {
protected:
    void start(const QString& commandLine = "/S", bool anotherInstance = false,
               std::optional<platform::NativeWindowId> hostWindow = std::nullopt) {
        master = std::make_unique<saver::Master>(saver::MasterServices{
            .commandLine = commandLine,
            .anotherInstanceRunning = anotherInstance,
            .hostWindow = hostWindow,
            .createPlayer =
                [this](QWidget* parent) {
                    player = new FakePlayer(parent);
                    return player;
                },
            .showSettingsModal = [this] { ++settingsShown; },
            .endProgram = [this](int) { ++ends; },
        });
        master->start();
    }

    // The current movie ends and the next tick comes.
    void playToEndAndTick() {
        player->finish();
        master->tmrNext_Timer();
    }

    // The playback of the only monitor, or the one in the host's window.
    saver::MonitorPlayback& monitor() { return *master->monitors().front(); }
    bool shown() { return !master->monitors().isEmpty() && monitor().window()->isVisible(); }

    void TearDown() override {
        if (master && !master->hasEnded()) master->Ende();
        platform::ShowCursor(true);
    }

    std::unique_ptr<saver::Master> master;
    FakePlayer* player = nullptr;
    int settingsShown = 0;
    int ends = 0;
};
