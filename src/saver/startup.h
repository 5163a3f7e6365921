#pragma once

#include "platform/single_instance.h"
#include "saver/master.h"

namespace saver {

// The real program's services: libmpv playback, the configuration window with the system's file
// chooser, the process's own command line, and an end that terminates the process.
MasterServices desktopServices(const platform::SingleInstance& instance);

}  // namespace saver
