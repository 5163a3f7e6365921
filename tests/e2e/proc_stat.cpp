#include "e2e/proc_stat.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>

namespace e2e {
namespace {

// The fields after the command name, which may itself hold blanks and parentheses:
// index 0 is the state, 1 the parent, 11 utime, 12 stime.
QStringList statFields(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = file.readAll();
    const qsizetype nameEnd = text.lastIndexOf(')');
    if (nameEnd < 0) return {};
    return QString::fromLatin1(text.mid(nameEnd + 1)).split(u' ', Qt::SkipEmptyParts);
}

}  // namespace

double cpuSeconds(qint64 pid) {
    const QStringList fields = statFields(pid);
    if (fields.size() < 13) return -1;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

QList<qint64> childrenOf(qint64 pid) {
    QList<qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 candidate = entry.toLongLong(&isPid);
        if (!isPid) continue;
        const QStringList fields = statFields(candidate);
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid) children.append(candidate);
    }
    return children;
}

}  // namespace e2e
