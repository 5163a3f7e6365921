#pragma once

#include <xcb/xcb.h>

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace e2e {

// The test's own connection to the X server on $DISPLAY, for what a window manager or a
// screen-saver host would do: make windows, list them, ask one to close, read the screen.
class XClient {
public:
    XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    ~XClient();

    bool connected() const { return screen_ != nullptr; }
    xcb_window_t root() const;

    // A mapped top-level window filled with `background` (0xRRGGBB); 0 when it failed.
    xcb_window_t createWindow(const QRect& geometry, quint32 background);

    // The root's children that are mapped, bottom to top.
    std::vector<xcb_window_t> mappedTopLevels();
    QString title(xcb_window_t window);
    // The first top-level window (mapped or not) with exactly that title; 0 when there is none.
    xcb_window_t findTopLevel(const QString& title);

    // What a screen-saver host does with its window when it is done; false when it failed.
    bool destroyWindow(xcb_window_t window);

    // What a window manager sends when the user clicks a window's close button.
    bool sendDeleteWindow(xcb_window_t window);

    // The root window's pixels; a null image when the area could not be read.
    QImage grab(const QRect& area);

private:
    xcb_atom_t atom(const char* name);
    QString textProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
};

}  // namespace e2e
