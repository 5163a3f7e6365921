#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSize>
#include <memory>
#include <optional>

namespace settings {

// Picture sizes of movie files, read from their headers on the thread pool and remembered for as
// long as a file keeps its length and modification time. Nothing waits for a read: not the
// window, nor its closing.
class PictureSizes : public QObject {
    Q_OBJECT
public:
    explicit PictureSizes(QObject* parent = nullptr);
    ~PictureSizes() override;

    struct Answer {
        bool known;                    // false: being read now, found() follows
        std::optional<QSize> picture;  // known, but nothing when the header does not tell
    };
    Answer sizeOf(const QString& path);

signals:
    void found(const QString& path);

private:
    struct Mailbox;
    struct Known {
        QDateTime modified;
        qint64 length;
        std::optional<QSize> picture;
    };
    void take(const QString& path, const Known& known);

    QHash<QString, Known> known_;
    QSet<QString> reading_;
    std::shared_ptr<Mailbox> mailbox_;
};

}  // namespace settings
