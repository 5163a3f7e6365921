#include "comdlg/comdlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <limits>

#include "comdlg/open_parts.h"

namespace comdlg {
namespace {

// Qt places a dialog itself while showing it (over its parent, pulled back onto the screen);
// moving once the show is over wins, and leaves the user free to move it afterwards.
class CentreAfterFirstShow : public QObject {
public:
    CentreAfterFirstShow(QWidget* dialog, QWidget* owner)
        : QObject(dialog), dialog_(dialog), owner_(owner) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == dialog_ && event->type() == QEvent::Show) {
            dialog_->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { centre(); });
        }
        return false;
    }

private:
    void centre() { dialog_->move(centredTopLeft(ownerRect(), dialog_->frameGeometry().size())); }

    QRect ownerRect() const {
        if (owner_) return owner_->frameGeometry();
        // With no active window the dialog belongs to no one: the middle of the primary screen's
        // work area is where the user looks.
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : dialog_->frameGeometry();
    }

    QWidget* dialog_;
    QPointer<QWidget> owner_;
};

// Qt's own first size cuts names and dates short; this one leaves them readable, within the
// screen.
QSize readableSize(const QWidget* owner) {
    constexpr QSize kReadable(800, 520);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    return screen ? kReadable.boundedTo(screen->availableGeometry().size() * 0.9) : kReadable;
}

// The combo box of the dialog's own widgets; Qt does not hand it out.
QComboBox* fileTypeCombo(const QFileDialog& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

void offerNameFilters(QFileDialog& dialog, const QList<NameFilter>& pairs) {
    QStringList qtFilters;
    for (const NameFilter& pair : pairs) qtFilters.append(qtNameFilter(pair));
    dialog.setNameFilters(qtFilters);
    // Qt folds runs of blanks in what it shows; the labels go back as given.
    QComboBox* combo = fileTypeCombo(dialog);
    if (!combo || combo->count() != pairs.size()) return;
    for (qsizetype i = 0; i < pairs.size(); ++i) combo->setItemText(int(i), pairs.at(i).label);
}

// As a pick by the user does it: Qt's own selectNameFilter() goes by the text, which a label
// with runs of blanks or parentheses of its own does not match.
void preselectPair(QFileDialog& dialog, qint16 filterIndex) {
    QComboBox* combo = fileTypeCombo(dialog);
    if (!combo || filterIndex < 1 || filterIndex > combo->count()) return;
    combo->setCurrentIndex(filterIndex - 1);
    emit combo->activated(filterIndex - 1);
}

// Sizes, types and dates whole; the name takes what is left.
void showColumnsWhole(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

// Index of the pair on show at the confirm, -1 if none. The combo's index tells apart pairs
// that look the same; selectedNameFilter() only gives the text on show.
qsizetype selectedPair(const QFileDialog& dialog, const QList<NameFilter>& pairs) {
    if (const QComboBox* combo = fileTypeCombo(dialog); combo && combo->count() == pairs.size())
        return combo->currentIndex();
    const QString shown = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        if (shown == pairs.at(i).label.simplified() ||
            shown == qtNameFilter(pairs.at(i)).simplified())
            return i;
    }
    return -1;
}

}  // namespace

QString ShowOpenDialog(QString& filter, qint16& filterIndex, const QString& title) {
    const QList<NameFilter> pairs = parseFilterText(filter);
    filter.replace(u'|', QChar(u'\0'));
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return {};

    QWidget* owner = QApplication::activeWindow();
    // Owned by the active window so it stays above it; a QPointer because closing the owner
    // while the dialog runs deletes the dialog with it.
    QPointer<QFileDialog> dialog = new QFileDialog(owner, title, QDir::currentPath());
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    offerNameFilters(*dialog, pairs);
    preselectPair(*dialog, filterIndex);
    showColumnsWhole(*dialog);
    dialog->resize(readableSize(owner));
    dialog->installEventFilter(new CentreAfterFirstShow(dialog, owner));

    // Taken as the dialog confirms: asked again later, it may list the same files in another order.
    QStringList files;
    qsizetype pair = -1;
    QObject::connect(dialog, &QFileDialog::filesSelected, dialog, [&](const QStringList& chosen) {
        files = chosen;
        pair = selectedPair(*dialog, pairs);
    });
    const bool confirmed = dialog->exec() == QDialog::Accepted;
    delete dialog;
    if (!confirmed || files.isEmpty()) return {};

    QDir::setCurrent(QFileInfo(files.first()).absolutePath());
    if (pair >= 0)
        filterIndex =
            static_cast<qint16>(std::min<qsizetype>(pair + 1, std::numeric_limits<qint16>::max()));
    return selectionText(files);
}

}  // namespace comdlg
