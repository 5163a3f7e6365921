#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalBlocker>

#include "settings/chooser_selection.h"
#include "settings/entry_marks.h"
#include "settings/movie_files.h"
#include "settings/playlist.h"
#include "settings/settings_window.h"
#include "settings/xscreensaver_dialog.h"

// How the play list is edited: the chooser, keys, the context menu, moves and drops.
namespace settings {
namespace {

// The store numbers entries in 16 bits: one more would be saved, and lost at the next opening.
void tellListIsFull(QWidget* window, qsizetype notAdded) {
    QMessageBox::information(window, window->windowTitle(),
                             QObject::tr("The play list is full: it holds at most %L1 movies, so "
                                         "%L2 more could not be added.")
                                 .arg(kMostEntries)
                                 .arg(notAdded));
}

}  // namespace

// The list's actions, by key and from its context menu alike.
QList<SettingsWindow::ListAction> SettingsWindow::listActions() {
    return {
        {tr("&Add movies..."),
         {Qt::Key_Insert, QKeySequence::Open},
         [this] { imgControls_Click(AddButton); }},
        {tr("&Remove"), {QKeySequence::Delete}, [this] { imgControls_Click(RemoveButton); }, true},
        {tr("Move &up"), {Qt::CTRL | Qt::Key_Up}, [this] { moveSelectedMovie(-1); }, true},
        {tr("Move &down"), {Qt::CTRL | Qt::Key_Down}, [this] { moveSelectedMovie(1); }, true},
        {tr("&Options..."), {Qt::CTRL | Qt::Key_Comma}, [this] { showOptions(); }, false, true},
        {tr("Add to &XScreenSaver"), {}, [this] { addToXScreenSaverFrom(this); }},
    };
}

void SettingsWindow::showListMenu(const QPoint& at) {
    QMenu menu(this);
    const QList<ListAction> actions = listActions();
    for (const ListAction& action : actions) {
        if (action.startsGroup) menu.addSeparator();
        QAction* item = menu.addAction(action.text, this, action.run);
        item->setEnabled(!action.needsSelection || selectedPosition() >= 0);
        if (action.keys.isEmpty()) continue;
        item->setShortcut(action.keys.front());
        item->setShortcutVisibleInContextMenu(true);
    }
    menu.exec(lstFiles->viewport()->mapToGlobal(at));
}

void SettingsWindow::addMovies() {
    QString filter = kMovieFilter;
    const QString selection = showOpenDialog_(filter, filterIndex_, QStringLiteral("Select movie"));
    const auto isDirectory = [](const QString& piece) { return QFileInfo(piece).isDir(); };
    appendEntries(entriesFromSelection(selection, isDirectory));
}

void SettingsWindow::appendEntries(const QStringList& newEntries) {
    const qsizetype room = std::max<qsizetype>(kMostEntries - lstFiles->count(), 0);
    lstFiles->addItems(newEntries.first(std::min(room, newEntries.size())));
    marks_->checkNewEntries();
    if (newEntries.size() > room) tellListIsFull(this, newEntries.size() - room);
}

void SettingsWindow::removeSelectedMovie() {
    const int position = selectedPosition();
    if (position < 0) return;
    // Qt would select the next entry on its way; afterwards nothing is selected and the size list
    // keeps showing what it showed. The keyboard stays where the entry was.
    {
        const QSignalBlocker quiet(lstFiles);
        delete lstFiles->takeItem(position);
        lstFiles->clearSelection();
        lstFiles->setCurrentRow(std::min(position, lstFiles->count() - 1),
                                QItemSelectionModel::NoUpdate);
    }
    followSelection();
}

// The entry keeps its selection, so it can be moved on at once.
void SettingsWindow::moveSelectedMovie(int step) {
    const int position = selectedPosition();
    const int target = position + step;
    if (position < 0 || target < 0 || target >= lstFiles->count()) return;
    lstFiles->model()->moveRow({}, position, {}, step > 0 ? target + 1 : target);
    lstFiles->scrollToItem(lstFiles->item(target));
}

bool SettingsWindow::takeDrop(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->source() == lstFiles) return false;
    if (!drop->mimeData()->hasUrls() || !acceptsDrop(drop->mimeData()->urls())) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        appendEntries(entriesFromDrop(drop->mimeData()->urls(), filesInFolder));
    return true;
}

int SettingsWindow::selectedPosition() const {
    const QList<QListWidgetItem*> selected = lstFiles->selectedItems();
    return selected.isEmpty() ? -1 : lstFiles->row(selected.front());
}

}  // namespace settings
