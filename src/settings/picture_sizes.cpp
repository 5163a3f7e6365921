#include "settings/picture_sizes.h"

#include <QFileInfo>
#include <QThreadPool>
#include <atomic>
#include <mutex>

#include "player/picture_probe.h"

namespace settings {
namespace {

// A header that takes longer than this (a hung network mount, a file that is all index) stays
// unknown.
constexpr std::chrono::seconds kReadLimit(5);

}  // namespace

// Where a read hands in its answer; outlives the PictureSizes when reads are still running.
struct PictureSizes::Mailbox {
    std::mutex mutex;
    PictureSizes* receiver;
    std::atomic<bool> closed = false;
};

PictureSizes::PictureSizes(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->receiver = this;
}

PictureSizes::~PictureSizes() {
    const std::lock_guard lock(mailbox_->mutex);
    mailbox_->receiver = nullptr;
    mailbox_->closed = true;
}

PictureSizes::Answer PictureSizes::sizeOf(const QString& path) {
    const QFileInfo file(path);
    const Known now{file.lastModified(), file.size(), std::nullopt};
    if (const auto it = known_.constFind(path);
        it != known_.cend() && it->modified == now.modified && it->length == now.length)
        return {true, it->picture};
    if (reading_.contains(path)) return {false, std::nullopt};
    reading_.insert(path);
    QThreadPool::globalInstance()->start([mailbox = mailbox_, path, now] {
        if (mailbox->closed) return;
        Known read = now;
        read.picture = player::probePictureSize(path, kReadLimit, &mailbox->closed);
        const std::lock_guard lock(mailbox->mutex);
        if (PictureSizes* receiver = mailbox->receiver)
            QMetaObject::invokeMethod(
                receiver, [receiver, path, read] { receiver->take(path, read); },
                Qt::QueuedConnection);
    });
    return {false, std::nullopt};
}

void PictureSizes::take(const QString& path, const Known& known) {
    reading_.remove(path);
    known_.insert(path, known);
    emit found(path);
}

}  // namespace settings
