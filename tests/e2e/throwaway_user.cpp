#include "e2e/throwaway_user.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

namespace e2e {

ThrowawayUser::ThrowawayUser(const QString& prefix, const QString& home)
    : name_(prefix + QString::number(getpid())) {
    run({"useradd", "--system", "--no-create-home", "--home-dir", home, "--shell",
         "/usr/sbin/nologin", name_});
    run({"chown", "-R", name_ + ":", home});
}

ThrowawayUser::~ThrowawayUser() {
    QString left;
    const QDeadlineTimer deadline(3000);
    while (!(left = run({"pgrep", "-a", "-u", name_})).isEmpty() && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_EQ(left.toStdString(), "")
        << "processes of the user " << name_.toStdString() << " left behind";
    run({"pkill", "-KILL", "-u", name_});
    run({"userdel", name_});
}

QStringList ThrowawayUser::as(const QStringList& command) const {
    return QStringList{"setpriv", "--reuid=" + name_, "--regid=" + name_, "--init-groups",
                       "--pdeathsig=keep"} +
           command;
}

QString ThrowawayUser::run(const QStringList& command) {
    QProcess tool;
    tool.start(command.first(), command.mid(1));
    tool.waitForFinished(15000);
    return QString::fromLocal8Bit(tool.readAll()).trimmed();
}

}  // namespace e2e
