#pragma once

#include <QDialog>

#include "settings/options.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace settings {

// The saver's options as a small dialog. It edits a copy only: the configuration window keeps
// what the user accepted and saves it with the list.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(const SaverOptions& options, QWidget* parent);

    SaverOptions options() const;

    QCheckBox* chkShrinkToFit = nullptr;
    QSpinBox* spnVolume = nullptr;
    QCheckBox* chkMute = nullptr;
    QCheckBox* chkShuffle = nullptr;
    QCheckBox* chkResume = nullptr;
    QComboBox* cbxMonitors = nullptr;  // in the order of settings::Monitors
};

}  // namespace settings
