#pragma once

#include <QString>
#include <QStringList>

// An ordinary user made for one test, for programs that refuse to run as root (or run what they
// start only as an ordinary user). It owns its home folder; removed with every process it left,
// which is a test failure.
namespace e2e {

class ThrowawayUser {
public:
    // Needs root. `prefix` names it, the test process's id is added.
    ThrowawayUser(const QString& prefix, const QString& home);
    ~ThrowawayUser();
    ThrowawayUser(const ThrowawayUser&) = delete;
    ThrowawayUser& operator=(const ThrowawayUser&) = delete;

    QString name() const { return name_; }
    // The command run as this user; the parent's death signal survives the change of user.
    QStringList as(const QStringList& command) const;

    // Runs a command to its end and returns what it printed.
    static QString run(const QStringList& command);

private:
    QString name_;
};

}  // namespace e2e
