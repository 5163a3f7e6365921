#include "settings/single_window.h"

#include "platform/single_editor.h"

namespace settings {

void runSettingsWindow(OpenDialog showOpenDialog) {
    platform::SingleEditor editor;
    if (!editor.claimed()) return editor.knock();
    SettingsWindow window(std::move(showOpenDialog));
    QObject::connect(&editor, &platform::SingleEditor::knocked, &window,
                     &SettingsWindow::bringToFront);
    window.showModal();
}

}  // namespace settings
