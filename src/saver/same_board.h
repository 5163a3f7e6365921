#pragma once

#include <QFileSystemWatcher>
#include <QObject>

#include "saver/same_step.h"

namespace saver {

// How far each saver of a group that plays the same movies has got, where each plays in a
// host's window in a process of its own: one line per process in a file named by its process
// id, in a folder of the runtime folder, replaced whole at each change. A process that is gone
// or has not renewed its line for a while (stopped, hung) is not waited for.
class SameBoard : public QObject {
    Q_OBJECT
public:
    // `folder` is made if need be; it should be private to the user.
    explicit SameBoard(const QString& folder);
    ~SameBoard() override;

    qint64 ownId() const { return ownId_; }
    // The other members that are alive; lines of processes that are gone are removed.
    QList<SameMember> others(qint64 nowMs) const;
    void publish(const SameMember& me, qint64 nowMs);
    void leave();

    // The folder for the current display in the runtime folder.
    static QString folderFor(const QString& runtimeFolder, const QString& display);

signals:
    // Some member published or left: time to look again.
    void changed();

private:
    QString folder_;
    qint64 ownId_;
    QFileSystemWatcher watcher_;
};

// A line older than this is a member that stopped (SIGSTOP, a hang): the others go on without it.
inline constexpr qint64 kStaleMs = 3000;

}  // namespace saver
