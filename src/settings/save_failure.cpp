#include "settings/save_failure.h"

#include <QMessageBox>
#include <QPushButton>

namespace settings {

SaveFailureChoice askAfterFailedSave(QWidget* parent, const QString& reason) {
    QMessageBox box(QMessageBox::Warning, parent ? parent->windowTitle() : QString(),
                    QObject::tr("The play list could not be saved: %1.").arg(reason),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(QObject::tr("Your changes are still in the window."));
    QPushButton* retry = box.addButton(QMessageBox::Retry);
    QPushButton* discard =
        box.addButton(QObject::tr("Close without saving"), QMessageBox::DestructiveRole);
    box.addButton(QObject::tr("Keep editing"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.exec();
    if (box.clickedButton() == retry) return SaveFailureChoice::Retry;
    if (box.clickedButton() == discard) return SaveFailureChoice::CloseWithoutSaving;
    return SaveFailureChoice::KeepEditing;
}

}  // namespace settings
