#include "saver/same_board.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>

#include "platform/private_files.h"

namespace saver {
namespace {

bool processAlive(qint64 id) {
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

}  // namespace

SameBoard::SameBoard(const QString& folder)
    : folder_(folder), ownId_(QCoreApplication::applicationPid()) {
    if (!platform::makePrivateFolder(folder_)) return;
    watcher_.addPath(folder_);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SameBoard::changed);
}

SameBoard::~SameBoard() {
    leave();
}

QList<SameMember> SameBoard::others(qint64 nowMs) const {
    QList<SameMember> members;
    const QDir folder(folder_);
    for (const QString& name : folder.entryList(QDir::Files)) {
        bool ok = false;
        const qint64 id = name.toLongLong(&ok);
        if (!ok || id <= 0 || id == ownId_) continue;
        if (!processAlive(id)) {
            QFile::remove(folder.filePath(name));
            continue;
        }
        const auto text = platform::readRegularFile(folder.filePath(name), 256);
        if (!text) continue;
        auto record = parseSameRecord(*text);
        if (!record || std::abs(nowMs - record->writtenMs) > kStaleMs) continue;
        record->member.id = id;
        members << record->member;
    }
    return members;
}

void SameBoard::publish(const SameMember& me, qint64 nowMs) {
    if (!platform::isPrivateFolder(folder_)) return;
    platform::replaceFile(QDir(folder_).filePath(QString::number(ownId_)),
                          sameRecordText(me, nowMs));
}

void SameBoard::leave() {
    watcher_.removePaths(watcher_.directories());
    QFile::remove(QDir(folder_).filePath(QString::number(ownId_)));
}

// Savers on another display of the same user form a group of their own.
QString SameBoard::folderFor(const QString& runtimeFolder, const QString& display) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    return runtimeFolder + QStringLiteral("/flickerdeck-same-") +
           QString(display).replace(unsafe, QStringLiteral("_"));
}

}  // namespace saver
