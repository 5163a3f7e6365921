#include "settings/settings_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QShortcut>

#include "platform/keys.h"
#include "platform/termination.h"
#include "platform/twips.h"
#include "settings/damage.h"
#include "settings/entry.h"
#include "settings/entry_marks.h"
#include "settings/image_button.h"
#include "settings/options_dialog.h"
#include "settings/playlist.h"
#include "settings/save_failure.h"
#include "settings/size_rules.h"
#include "settings/window_layout.h"

namespace settings {
namespace {

constexpr int kSizesWidth = 1575;
constexpr int kSizeLabelWidth = 480;

void placeInTwips(QWidget* widget, int left, int top, int width, int height) {
    using platform::twipsToPixels;
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

int twipsOf(int pixels) {
    return static_cast<int>(platform::pixelsToTwips(pixels));
}

}  // namespace

SettingsWindow::SettingsWindow(OpenDialog showOpenDialog)
    : showOpenDialog_(std::move(showOpenDialog)) {
    setWindowTitle(QStringLiteral("Flickerdeck, Version 1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/flickerdeck.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    createControls();
    connectHandlers();
    Form_Load();
    placeCentredOnScreen();
}

void SettingsWindow::showModal() {
    setWindowModality(Qt::ApplicationModal);
    platform::onTerminationRequest(this, [this] { close(); });
    show();
    lstFiles->setFocus();
    marks_->checkNewEntries();
    QEventLoop untilClosed;
    connect(this, &SettingsWindow::closed, &untilClosed, &QEventLoop::quit);
    untilClosed.exec();
}

void SettingsWindow::bringToFront() {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void SettingsWindow::Form_Load() {
    Store store;
    keepCopyOfDamagedStore(store.fileName());
    lstFiles->addItems(readPlayList(store));
    shrinkToFitStored_ = readSaverOptions(store).shrinkToFit;
    cbxSizes->addItems({kOrigin, kDouble, kFit});
    selectSize(0);
    followSelection();
    markSettingsWindowOpen();
}

void SettingsWindow::Form_Resize() {
    const auto layout =
        layoutFor(twipsOf(width()), twipsOf(height()), isMinimized(), kSizesWidth, kSizeLabelWidth);
    if (!layout) return;
    using platform::twipsToPixels;
    lstFiles->resize(twipsToPixels(layout->listWidth), twipsToPixels(layout->listHeight));
    picContainer->resize(twipsToPixels(layout->stripWidth), picContainer->height());
    cbxSizes->move(twipsToPixels(layout->sizesLeft), cbxSizes->y());
    imgSize->move(twipsToPixels(layout->sizeLabelLeft), imgSize->y());
}

// Save failures are the user's to decide; everything else closes.
bool SettingsWindow::Form_Unload() {
    QString reason;
    while (!writePlayList(entries(), &reason, options_ ? &*options_ : nullptr)) {
        switch (askAfterFailedSave(this, reason)) {
            case SaveFailureChoice::Retry:
                continue;
            case SaveFailureChoice::CloseWithoutSaving:
                return true;
            case SaveFailureChoice::KeepEditing:
                return false;
        }
    }
    return true;
}

void SettingsWindow::SetSizeUp() {
    const int position = selectedPosition();
    if (position < 0) return;
    const QString entry = lstFiles->item(position)->text();
    // It plays at its own size; showing that must not write a word into it.
    if (!splitEntry(entry).modeWord) return cbxSizes->setCurrentIndex(cbxSizes->findText(kOrigin));
    const auto word = shownModeWord(entry);
    const int index =
        word ? cbxSizes->findText(*word, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
    if (index >= 0) selectSize(index);
}

void SettingsWindow::cbxSizes_Click() {
    const int position = selectedPosition();
    if (position < 0) return;
    QListWidgetItem* item = lstFiles->item(position);
    item->setText(withModeWord(item->text(), cbxSizes->currentText()));
}

void SettingsWindow::imgControls_Click(int Index) {
    if (Index == AddButton) addMovies();
    if (Index == RemoveButton) removeSelectedMovie();
}

void SettingsWindow::imgControls_MouseDown(int Index) {
    imageButton(Index)->setBorderStyle(1);
}
void SettingsWindow::imgControls_MouseUp(int Index) {
    imageButton(Index)->setBorderStyle(0);
}
void SettingsWindow::lstFiles_Click() {
    SetSizeUp();
}
void SettingsWindow::lstFiles_KeyPress(int) {
    SetSizeUp();
}

QStringList SettingsWindow::entries() const {
    QStringList list;
    for (int row = 0; row < lstFiles->count(); ++row) list << lstFiles->item(row)->text();
    return list;
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
    if (!Form_Unload()) return event->ignore();
    event->accept();
    emit closed();
}

void SettingsWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void SettingsWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) marks_->checkAgain();
}

// Sees the key before the list does, and leaves it to the list; drops from other programs are
// taken here, moves within the list left to the list.
bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstFiles->viewport())
        return takeDrop(event) || QWidget::eventFilter(watched, event);
    if (watched == lstFiles && event->type() == QEvent::FocusIn) showFocusedEntry();
    if (watched == lstFiles && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty()) lstFiles_KeyPress(key->text().front().unicode());
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsWindow::createControls() {
    lstFiles = new QListWidget(this);
    lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    // A long list is measured a batch at a time after the window shows, not all before.
    lstFiles->setLayoutMode(QListView::Batched);
    lstFiles->setBatchSize(500);
    lstFiles->setDragDropMode(QAbstractItemView::InternalMove);
    lstFiles->setDefaultDropAction(Qt::MoveAction);
    marks_ = new EntryMarks(lstFiles, [this] { return screenForMarks(); });
    placeInTwips(lstFiles, 0, 510, 4935, 3765);
    picContainer = new QWidget(this);
    placeInTwips(picContainer, 0, 0, 5145, 510);
    imgControls.addButton(new ImageButton(":/icons/add.svg", "set a movie", picContainer),
                          AddButton);
    imgControls.addButton(new ImageButton(":/icons/remove.svg", "remove a movie", picContainer),
                          RemoveButton);
    placeInTwips(imageButton(AddButton), 0, 0, 480, 480);
    placeInTwips(imageButton(RemoveButton), 480, 0, 480, 480);
    frmDivide = new QFrame(picContainer);
    frmDivide->setFrameShape(QFrame::VLine);
    frmDivide->setFrameShadow(QFrame::Sunken);
    placeInTwips(frmDivide, 990, -120, 45, 615);
    imgSize = new QLabel(picContainer);
    imgSize->setPixmap(QIcon(":/icons/size.svg").pixmap(32, 32));
    placeInTwips(imgSize, 2880, 0, kSizeLabelWidth, 480);
    cbxSizes = new QComboBox(picContainer);
    placeInTwips(cbxSizes, 3360, 90, kSizesWidth, 315);
    setTabOrder(lstFiles, imageButton(AddButton));
    setTabOrder(imageButton(AddButton), imageButton(RemoveButton));
    setTabOrder(imageButton(RemoveButton), cbxSizes);
    using platform::twipsToPixels;
    resize(twipsToPixels(4950), twipsToPixels(4290));
}

void SettingsWindow::connectHandlers() {
    connect(&imgControls, &QButtonGroup::idClicked, this, &SettingsWindow::imgControls_Click);
    connect(&imgControls, &QButtonGroup::idPressed, this, &SettingsWindow::imgControls_MouseDown);
    connect(&imgControls, &QButtonGroup::idReleased, this, &SettingsWindow::imgControls_MouseUp);
    connect(cbxSizes, &QComboBox::activated, this, &SettingsWindow::cbxSizes_Click);
    connect(lstFiles, &QListWidget::itemClicked, this, &SettingsWindow::lstFiles_Click);
    connect(lstFiles, &QListWidget::itemSelectionChanged, this, &SettingsWindow::lstFiles_Click);
    connect(lstFiles, &QListWidget::itemSelectionChanged, this, &SettingsWindow::followSelection);
    lstFiles->installEventFilter(this);
    lstFiles->viewport()->installEventFilter(this);
    lstFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstFiles, &QWidget::customContextMenuRequested, this, &SettingsWindow::showListMenu);
    for (const ListAction& action : listActions())
        for (const QKeySequence& keys : action.keys)
            connect(new QShortcut(keys, this), &QShortcut::activated, this, action.run);
    // Closing saves, whichever way the window is closed.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this,
            &QWidget::close);
}

void SettingsWindow::showOptions() {
    OptionsDialog dialog(options_.value_or(readSaverOptions(Store())), this);
    if (dialog.exec() == QDialog::Accepted) options_ = dialog.options();
}

void SettingsWindow::placeCentredOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
}

// A selection made from code counts as a click, as a pick by the user does.
void SettingsWindow::selectSize(int index) {
    if (cbxSizes->currentIndex() == index) return;
    cbxSizes->setCurrentIndex(index);
    cbxSizes_Click();
}

// What acts on the selected entry can be used only while there is one.
void SettingsWindow::followSelection() {
    const bool selected = selectedPosition() >= 0;
    cbxSizes->setEnabled(selected);
    imageButton(RemoveButton)->setEnabled(selected);
}

// Where the keyboard is: the list marks its current entry only while it has one.
void SettingsWindow::showFocusedEntry() {
    if (lstFiles->currentRow() < 0 && lstFiles->count() > 0)
        lstFiles->setCurrentRow(std::max(selectedPosition(), 0), QItemSelectionModel::NoUpdate);
}

// The saver cuts nothing off when it shrinks every large movie.
std::optional<QSize> SettingsWindow::screenForMarks() const {
    if (options_ ? options_->shrinkToFit : shrinkToFitStored_) return std::nullopt;
    const QScreen* shownOn = screen();
    return shownOn ? std::optional(shownOn->size()) : std::nullopt;
}

ImageButton* SettingsWindow::imageButton(int index) const {
    return static_cast<ImageButton*>(imgControls.button(index));
}

}  // namespace settings
