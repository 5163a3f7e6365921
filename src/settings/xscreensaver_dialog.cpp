#include "settings/xscreensaver_dialog.h"

#include <QMessageBox>

#include "settings/xscreensaver_programs.h"

namespace settings {

void addToXScreenSaverFrom(QWidget* parent) {
    const ProgramsResult result = addSaverToXScreenSaver();
    QMessageBox box(result.ok ? QMessageBox::Information : QMessageBox::Warning,
                    parent->windowTitle(), result.message, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace settings
