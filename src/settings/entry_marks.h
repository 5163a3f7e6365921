#pragma once

#include <QIcon>
#include <QMultiHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>
#include <functional>
#include <optional>

class QListWidget;

namespace settings {

class PictureSizes;

// Greys the entries of a play list that cannot play, with a warning icon, gives those whose
// picture the screen cuts off an information icon, and gives every entry a tooltip with its whole
// text and the reason. Files are looked at a batch at a time from the event loop, and pictures
// measured on other threads, so a long list opens and closes as fast as without marks.
class EntryMarks : public QObject {
    Q_OBJECT
public:
    // `screen`: the size a picture may have before its edges are cut off, nothing when none is
    // cut off; asked at the start of every pass.
    using Screen = std::function<std::optional<QSize>()>;
    EntryMarks(QListWidget* list, Screen screen);

    // Looks at the entries not yet looked at, from the next turn of the event loop on.
    void checkNewEntries();
    // Looks at every entry again: files come and go while the window is open.
    void checkAgain();

    // The reason an entry was marked for, empty when it was not (or not yet looked at).
    QString problemAt(int row) const;
    // The information an entry was marked with, empty when none.
    QString noteAt(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startPass();
    void checkBatch();
    void check(int row);
    QString noteFor(int row, const QString& entry);
    void show(int row, const QString& problem, const QString& note);
    void pictureFound(const QString& path);
    void entriesChanged(const QModelIndex& first, const QModelIndex& last, const QList<int>& roles);
    bool checkedInThisPass(int row) const;

    QListWidget* list_;
    Screen screen_;
    std::optional<QSize> screenNow_;
    PictureSizes* pictures_;
    QMultiHash<QString, QPersistentModelIndex> waiting_;  // by path, for a picture's size
    QTimer batches_;
    QIcon warning_;
    QIcon information_;
    int pass_ = 1;
    int next_ = 0;
};

}  // namespace settings
