#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>

class QListWidget;

namespace settings {

// Greys the entries of a play list that cannot play, with a warning icon, and gives every entry
// a tooltip with its whole text and the reason. Files are looked at a batch at a time from the
// event loop, so a long list opens and closes as fast as without marks.
class EntryMarks : public QObject {
    Q_OBJECT
public:
    explicit EntryMarks(QListWidget* list);

    // Looks at the entries not yet looked at, from the next turn of the event loop on.
    void checkNewEntries();

    // The reason an entry was marked for, empty when it was not (or not yet looked at).
    QString problemAt(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkBatch();
    void check(int row);

    QListWidget* list_;
    QTimer batches_;
    QIcon warning_;
    int next_ = 0;
};

}  // namespace settings
