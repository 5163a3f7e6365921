#pragma once

#include <QList>

// What /proc tells about a running process.
namespace e2e {

// User plus system CPU time the process has used so far; negative when it cannot be read.
double cpuSeconds(qint64 pid);

// Processes whose parent is `pid`.
QList<qint64> childrenOf(qint64 pid);

}  // namespace e2e
