#pragma once

#include "settings/settings_window.h"

namespace settings {

// The configuration window, unless one is open already: then that one comes to the front and
// this returns at once, without touching the store. Two windows would each save their own list
// on closing, the last one overwriting what was added in the other.
void runSettingsWindow(OpenDialog showOpenDialog);

}  // namespace settings
