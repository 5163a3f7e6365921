// Saves play lists into the store from a process of its own, so tests can read concurrently or kill
// it in the middle of a save.
//
//   store_stress_tool save <generation> <entries> <padding>
//       prints "saving" just before the one save and "saved" after it; exit code 0 on success.
//   store_stress_tool save-loop <first generation> <even size> <odd size> <min ms> <min saves>
//       saves generation after generation (even ones with <even size> entries) until both minimums
//       are reached, then prints "saves <n>"; exit code 0 when every save succeeded.
//
// Entry k of generation g is "/gen<g>/<padding x's>movie<k>.avi (Origin)".
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

#include "settings/playlist.h"

namespace {

QStringList generation(int number, int size, int padding) {
    const QString prefix = QStringLiteral("/gen%1/").arg(number) + QString(padding, u'x');
    QStringList entries;
    entries.reserve(size);
    for (int k = 0; k < size; ++k)
        entries << prefix + QStringLiteral("movie%1.avi (Origin)").arg(k);
    return entries;
}

void say(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

int saveOnce(int number, int size, int padding) {
    const QStringList entries = generation(number, size, padding);
    say("saving\n");
    QString error;
    if (!settings::writePlayList(entries, &error)) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
        return 1;
    }
    say("saved\n");
    return 0;
}

int saveLoop(int first, int evenSize, int oddSize, qint64 minMs, int minSaves) {
    QElapsedTimer running;
    running.start();
    int saves = 0;
    bool allSaved = true;
    for (int number = first; saves < minSaves || running.elapsed() < minMs; ++number, ++saves) {
        QString error;
        if (!settings::writePlayList(generation(number, number % 2 ? oddSize : evenSize, 0),
                                     &error)) {
            std::fprintf(stderr, "save %d failed: %s\n", number, qPrintable(error));
            allSaved = false;
        }
    }
    std::printf("saves %d\n", saves);
    return allSaved ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // Never the user's own store: the test that starts the tool hands down its private folder.
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        std::fputs("XDG_CONFIG_HOME must point at a test folder\n", stderr);
        return 2;
    }
    const QStringList args = app.arguments().mid(1);
    const auto number = [&](int i) { return args.value(i).toInt(); };
    if (args.value(0) == "save" && args.size() == 4)
        return saveOnce(number(1), number(2), number(3));
    if (args.value(0) == "save-loop" && args.size() == 6)
        return saveLoop(number(1), number(2), number(3), number(4), number(5));
    std::fputs("usage: store_stress_tool save|save-loop ...\n", stderr);
    return 2;
}
