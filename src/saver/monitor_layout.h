#pragma once

#include <QList>
#include <QRect>
#include <QString>

// Which monitor is which, and where each one begins in the play list.
namespace saver {

// The number of each screen, in the order given: 0 for the leftmost, monitors with the same left
// edge by their top edge, and screens at the same place (mirrored) in the order given.
QList<int> monitorNumbers(const QList<QRect>& screens);

// Monitor k begins at entry k, counted round the list ("Count" is the position of the last
// entry): with fewer entries than monitors some begin with the same one.
qint16 startEntry(int monitor, int count);

// Where a host's window is: the monitor holding its centre (the primary when none does). A
// window smaller than that monitor is a preview, a one-monitor layout of its own: monitor 0, the
// primary, alone.
struct HostMonitor {
    int number = 0;
    bool primary = true;
    bool alone = true;  // no other monitor shares its layout
    QSize size;         // of the monitor; empty when no screen is known
    bool operator==(const HostMonitor&) const = default;
};
HostMonitor hostMonitor(const QRect& window, const QList<QRect>& screens, int primary);

// The file in which monitor k keeps its own place between runs: monitor 0 uses `file` itself,
// so a single monitor goes on where it always did.
QString monitorStateFile(const QString& file, int monitor);

}  // namespace saver
