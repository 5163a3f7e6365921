#pragma once

#include <QRect>
#include <QString>

#include "e2e/x_server.h"

// Xorg on its dummy driver with two monitors side by side: the only X server here on which Qt
// sees more than one screen.
namespace e2e {

inline const QRect kPrimaryScreen(0, 0, 1280, 960);
inline const QRect kSecondScreen(1280, 0, 1024, 768);

// Starts the server with its log in `logFolder` and sets up both monitors; returns why it could
// not, or an empty text.
QString startTwoScreenXorg(XServer& server, const QString& logFolder);

// Runs xrandr on the server; returns why it failed, or an empty text.
QString xrandr(const QStringList& arguments);
// Both monitors back as the server was set up, after a test changed them.
QString restoreTwoScreens();

// Why this test process runs without a two-screen server; empty when it has one.
QString& twoScreensUnavailable();

}  // namespace e2e
