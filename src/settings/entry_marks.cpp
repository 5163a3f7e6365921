#include "settings/entry_marks.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

#include "settings/entry.h"
#include "settings/entry_check.h"
#include "settings/picture_sizes.h"

namespace settings {
namespace {

constexpr int kProblemRole = Qt::UserRole + 1;  // unset: not looked at; empty: nothing wrong
constexpr int kNoteRole = Qt::UserRole + 2;
constexpr int kPassRole = Qt::UserRole + 3;  // the pass that looked at the entry last
constexpr int kBatchSize = 200;

}  // namespace

EntryMarks::EntryMarks(QListWidget* list, Screen screen)
    : QObject(list),
      list_(list),
      screen_(std::move(screen)),
      pictures_(new PictureSizes(this)),
      warning_(list->style()->standardIcon(QStyle::SP_MessageBoxWarning)),
      information_(list->style()->standardIcon(QStyle::SP_MessageBoxInformation)) {
    // No taller than a line, so a marked entry keeps the height the list laid it out with.
    const int line = list->fontMetrics().height();
    list->setIconSize(QSize(line, line));
    batches_.setInterval(0);
    connect(&batches_, &QTimer::timeout, this, &EntryMarks::checkBatch);
    connect(pictures_, &PictureSizes::found, this, &EntryMarks::pictureFound);
    connect(list->model(), &QAbstractItemModel::dataChanged, this, &EntryMarks::entriesChanged);
    list->viewport()->installEventFilter(this);
}

void EntryMarks::checkNewEntries() {
    startPass();
}

void EntryMarks::checkAgain() {
    ++pass_;
    next_ = 0;
    startPass();
}

void EntryMarks::startPass() {
    screenNow_ = screen_();
    batches_.start();
}

QString EntryMarks::problemAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item ? item->data(kProblemRole).toString() : QString();
}

QString EntryMarks::noteAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item ? item->data(kNoteRole).toString() : QString();
}

bool EntryMarks::checkedInThisPass(int row) const {
    return list_->item(row)->data(kPassRole).toInt() == pass_;
}

// Entries moved while a pass runs may be skipped by it: the pass ends with a look for any.
void EntryMarks::checkBatch() {
    for (int done = 0; done < kBatchSize && next_ < list_->count(); ++next_) {
        if (checkedInThisPass(next_)) continue;
        check(next_);
        ++done;
    }
    if (next_ < list_->count()) return;
    for (next_ = 0; next_ < list_->count(); ++next_)
        if (!checkedInThisPass(next_)) return;
    batches_.stop();
}

void EntryMarks::check(int row) {
    const QString entry = list_->item(row)->text();
    const QString problem = entryProblem(entry);
    show(row, problem, problem.isEmpty() ? noteFor(row, entry) : QString());
}

// Until the picture's size is known the entry keeps the note it had.
QString EntryMarks::noteFor(int row, const QString& entry) {
    if (!screenNow_ || !mayNeedSizeNote(entry)) return {};
    const QString path = splitEntry(entry).path;
    const PictureSizes::Answer answer = pictures_->sizeOf(path);
    if (answer.known) return sizeNote(entry, answer.picture, screenNow_);
    waiting_.insert(path, QPersistentModelIndex(list_->model()->index(row, 0)));
    return noteAt(row);
}

void EntryMarks::show(int row, const QString& problem, const QString& note) {
    QListWidgetItem* item = list_->item(row);
    if (item->data(kProblemRole).isValid() && problem == problemAt(row) && note == noteAt(row))
        return item->setData(kPassRole, pass_);
    const QVariant icon = !problem.isEmpty() ? QVariant(warning_)
                          : !note.isEmpty()  ? information_
                                             : QVariant();
    const QVariant grey =
        problem.isEmpty() ? QVariant() : list_->palette().brush(QPalette::Disabled, QPalette::Text);
    list_->model()->setItemData(list_->model()->index(row, 0), {{Qt::DecorationRole, icon},
                                                                {Qt::ForegroundRole, grey},
                                                                {kProblemRole, problem},
                                                                {kNoteRole, note},
                                                                {kPassRole, pass_}});
}

void EntryMarks::pictureFound(const QString& path) {
    const QList<QPersistentModelIndex> rows = waiting_.values(path);
    waiting_.remove(path);
    for (const QPersistentModelIndex& index : rows)
        if (index.isValid() && splitEntry(index.data().toString()).path == path) check(index.row());
}

// A new size word, picked or typed into the store, may cut the picture off or show it whole.
void EntryMarks::entriesChanged(const QModelIndex& first, const QModelIndex& last,
                                const QList<int>& roles) {
    if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)) return;
    for (int row = first.row(); row <= last.row(); ++row) check(row);
}

bool EntryMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = list_->indexAt(help->pos());
    if (!index.isValid()) {
        QToolTip::hideText();
        return true;
    }
    const QString problem = problemAt(index.row());
    const QString tip =
        entryToolTip(index.data().toString(), problem.isEmpty() ? noteAt(index.row()) : problem);
    QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal),
                       list_->viewport(), list_->visualRect(index));
    return true;
}

}  // namespace settings
