#pragma once

class QWidget;

namespace settings {

// Adds the saver to XScreenSaver's list and tells the user, over `parent`, what was done.
void addToXScreenSaverFrom(QWidget* parent);

}  // namespace settings
