#pragma once

#include <QString>

class QWidget;

namespace settings {

enum class SaveFailureChoice { Retry, CloseWithoutSaving, KeepEditing };

// Tells the user the play list could not be saved, and why, and asks what to do.
SaveFailureChoice askAfterFailedSave(QWidget* parent, const QString& reason);

}  // namespace settings
