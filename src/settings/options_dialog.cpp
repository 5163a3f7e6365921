#include "settings/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace settings {
namespace {

QCheckBox* checkBox(const QString& text, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setChecked(checked);
    return box;
}

}  // namespace

OptionsDialog::OptionsDialog(const SaverOptions& options, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Options"));
    chkShrinkToFit = checkBox(QStringLiteral("&Shrink large movies to fit the screen"),
                              options.shrinkToFit, this);
    spnVolume = new QSpinBox(this);
    spnVolume->setRange(0, 100);
    spnVolume->setSuffix(QStringLiteral(" %"));
    spnVolume->setValue(options.volume);
    chkMute = checkBox(QStringLiteral("&Mute"), options.mute, this);
    chkShuffle = checkBox(QStringLiteral("Shu&ffle the play list"), options.shuffle, this);
    chkResume =
        checkBox(QStringLiteral("&Resume after the movie started last time"), options.resume, this);
    // Resume follows the stored order, which a shuffled list does not have.
    chkResume->setEnabled(!options.shuffle);
    connect(chkShuffle, &QCheckBox::toggled, chkResume, &QWidget::setDisabled);
    cbxMonitors = new QComboBox(this);
    cbxMonitors->addItems({QStringLiteral("Each plays its own movies"),
                           QStringLiteral("All play the same movie together"),
                           QStringLiteral("Only the primary plays, the others are black")});
    cbxMonitors->setCurrentIndex(static_cast<int>(options.monitors));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(chkShrinkToFit);
    form->addRow(QStringLiteral("&Volume:"), spnVolume);
    form->addRow(chkMute);
    form->addRow(chkShuffle);
    form->addRow(chkResume);
    form->addRow(QStringLiteral("Mo&nitors:"), cbxMonitors);
    form->addRow(buttons);
}

SaverOptions OptionsDialog::options() const {
    return {
        .shuffle = chkShuffle->isChecked(),
        .resume = chkResume->isChecked(),
        .volume = spnVolume->value(),
        .mute = chkMute->isChecked(),
        .shrinkToFit = chkShrinkToFit->isChecked(),
        .monitors = static_cast<Monitors>(cbxMonitors->currentIndex()),
    };
}

}  // namespace settings
