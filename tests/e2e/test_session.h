#pragma once

#include <QString>
#include <QTemporaryDir>

// What every end-to-end test process sets up before its tests run.
namespace e2e {

// Points the settings and runtime folders into `home`, as the shared test main does, so no test
// touches the user's store.
bool usePrivateFolders(const QTemporaryDir& home);

// Runs the tests as an xcb client of the X server on `display` (which the saver uses too).
int runTestsOn(const QString& display, int argc, char* argv[]);

}  // namespace e2e
