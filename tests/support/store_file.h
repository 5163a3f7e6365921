#pragma once

#include <QString>

// The test's own store file: $XDG_CONFIG_HOME/FDK.conf, set up per process by the test main.
namespace testsupport {

QString storeFilePath();

// Replaces the whole store file with the given INI text (an empty text removes the file).
void writeStoreFile(const QString& iniText);
QString readStoreFile();

}  // namespace testsupport
