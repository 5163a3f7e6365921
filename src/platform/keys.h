#pragma once

class QKeyEvent;

namespace platform {

// The character a key press types, accepting the event; 0 (event left alone) for keys that
// type nothing: Shift, Ctrl, arrows, function keys, Delete.
int takeCharacter(QKeyEvent* event);

}  // namespace platform
