#include "settings/single_window.h"

#include <QMessageBox>

#include "platform/single_editor.h"

namespace settings {
namespace {

void warnWithoutClaim(const QString& problem) {
    QMessageBox::warning(nullptr, QStringLiteral("Flickerdeck"),
                         QObject::tr("Flickerdeck cannot make sure that no other configuration "
                                     "window is open: %1. If another one is open, the window "
                                     "closed last decides what the play list holds.")
                             .arg(problem));
}

}  // namespace

void runSettingsWindow(OpenDialog showOpenDialog) {
    platform::SingleEditor editor;
    if (!editor.claimed()) return editor.knock();
    if (!editor.problem().isEmpty()) warnWithoutClaim(editor.problem());
    SettingsWindow window(std::move(showOpenDialog));
    QObject::connect(&editor, &platform::SingleEditor::knocked, &window,
                     &SettingsWindow::bringToFront);
    window.showModal();
}

}  // namespace settings
