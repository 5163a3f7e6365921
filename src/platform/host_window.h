#pragma once

#include <QObject>
#include <QRect>
#include <QStringList>
#include <functional>
#include <optional>

namespace platform {

using NativeWindowId = unsigned long long;

// The window a screen-saver host hands us to draw in: "--window-id <id>" or "-window-id <id>"
// (also "=<id>") on the command line, else the XSCREENSAVER_WINDOW value; hexadecimal with "0x"
// or decimal. Anything unreadable or zero means no host window.
std::optional<NativeWindowId> hostWindowFrom(const QStringList& arguments,
                                             const QString& environmentValue);

// The host window's size as the X server has it (Qt reports 0 x 0 for a foreign window).
std::optional<QSize> foreignWindowSize(NativeWindowId window);

// The host window's place on the whole screen (all monitors), as the X server has it.
std::optional<QRect> foreignWindowScreenArea(NativeWindowId window);

// Runs `handler` on the GUI thread as soon as the X server reports the window destroyed, for as
// long as `context` lives.
void onForeignWindowDestroyed(NativeWindowId window, QObject* context,
                              std::function<void()> handler);

// The same for a window of this process's own, which another client may destroy.
void onOwnWindowDestroyed(NativeWindowId window, QObject* context, std::function<void()> handler);

// Runs `handler` with the new size whenever the window's size changes (a host's window after a
// change of the screen's mode), for as long as `context` lives.
void onForeignWindowResized(NativeWindowId window, QObject* context,
                            std::function<void(QSize)> handler);

// True only when the X server says the window no longer exists; false when it cannot tell.
bool isForeignWindowGone(NativeWindowId window);

}  // namespace platform
