#include "settings/entry_marks.h"

#include <QHelpEvent>
#include <QListWidget>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

#include "settings/entry_check.h"

namespace settings {
namespace {

constexpr int kProblemRole = Qt::UserRole + 1;  // unset: not looked at; empty: nothing wrong
constexpr int kBatchSize = 200;

}  // namespace

EntryMarks::EntryMarks(QListWidget* list)
    : QObject(list),
      list_(list),
      warning_(list->style()->standardIcon(QStyle::SP_MessageBoxWarning)) {
    // No taller than a line, so a marked entry keeps the height the list laid it out with.
    const int line = list->fontMetrics().height();
    list->setIconSize(QSize(line, line));
    batches_.setInterval(0);
    connect(&batches_, &QTimer::timeout, this, &EntryMarks::checkBatch);
    list->viewport()->installEventFilter(this);
}

void EntryMarks::checkNewEntries() {
    batches_.start();
}

QString EntryMarks::problemAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item ? item->data(kProblemRole).toString() : QString();
}

// Entries moved while a pass runs may be skipped by it: the pass ends with a look for any.
void EntryMarks::checkBatch() {
    for (int done = 0; done < kBatchSize && next_ < list_->count(); ++next_) {
        if (list_->item(next_)->data(kProblemRole).isValid()) continue;
        check(next_);
        ++done;
    }
    if (next_ < list_->count()) return;
    for (next_ = 0; next_ < list_->count(); ++next_)
        if (!list_->item(next_)->data(kProblemRole).isValid()) return;
    batches_.stop();
}

void EntryMarks::check(int row) {
    QListWidgetItem* item = list_->item(row);
    const QString problem = entryProblem(item->text());
    if (problem.isEmpty()) return item->setData(kProblemRole, problem);
    list_->model()->setItemData(
        list_->model()->index(row, 0),
        {{Qt::DecorationRole, warning_},
         {Qt::ForegroundRole, list_->palette().brush(QPalette::Disabled, QPalette::Text)},
         {kProblemRole, problem}});
}

bool EntryMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = list_->indexAt(help->pos());
    if (!index.isValid()) {
        QToolTip::hideText();
        return true;
    }
    const QString tip = entryToolTip(index.data().toString(), problemAt(index.row()));
    QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal),
                       list_->viewport(), list_->visualRect(index));
    return true;
}

}  // namespace settings
