#pragma once

namespace platform {

// Ends the process at once: no further handler of any window runs.
[[noreturn]] void endProgram(int exitCode = 0);

// Without a session bus address the D-Bus library starts a bus of its own (dbus-launch
// --autolaunch) the first time Qt asks for the session bus, and that daemon outlives the saver:
// hosts that start savers with a bare environment would leave one behind for every start. Where
// no address is given, the session bus is taken to be absent. Call before QApplication.
void withoutAutolaunchedSessionBus();

// Blocks of a quarter mebibyte and more (a movie's frame buffers) go back to the system when
// freed. Left to itself the C library keeps them in the pool of whichever decoder thread freed
// them, and a saver that opens a new movie, with new threads, every few seconds grows for hours.
// Safe while other threads allocate: the C library itself moves this threshold from whichever
// thread frees a large block.
void returnLargeBlocksWhenFreed();

}  // namespace platform
