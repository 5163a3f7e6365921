#include "saver/monitor_layout.h"

#include <algorithm>
#include <numeric>

namespace saver {

QList<int> monitorNumbers(const QList<QRect>& screens) {
    QList<int> order(screens.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&screens](int a, int b) {
        const QPoint first = screens.at(a).topLeft(), second = screens.at(b).topLeft();
        return std::pair(first.x(), first.y()) < std::pair(second.x(), second.y());
    });
    QList<int> numbers(screens.size());
    for (int number = 0; number < order.size(); ++number) numbers[order.at(number)] = number;
    return numbers;
}

qint16 startEntry(int monitor, int count) {
    return count < 0 ? 0 : static_cast<qint16>(monitor % (count + 1));
}

HostMonitor hostMonitor(const QRect& window, const QList<QRect>& screens, int primary) {
    qsizetype index =
        std::find_if(screens.begin(), screens.end(),
                     [&window](const QRect& screen) { return screen.contains(window.center()); }) -
        screens.begin();
    if (index == screens.size()) index = primary;
    if (index < 0 || index >= screens.size()) return {};
    const QSize size = screens.at(index).size();
    if (window.width() < size.width() || window.height() < size.height()) return {.size = size};
    return {.number = monitorNumbers(screens).at(index),
            .primary = index == primary,
            .alone = screens.size() == 1,
            .size = size};
}

QString monitorStateFile(const QString& file, int monitor) {
    return monitor == 0 ? file : QStringLiteral("%1-%2").arg(file).arg(monitor);
}

}  // namespace saver
