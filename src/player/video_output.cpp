#include "player/video_output.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include "platform/x11_connection.h"

namespace player {
namespace {

bool hasExtension(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_query_extension(connection, qstrlen(name), name);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool present = reply && reply->present;
    free(reply);
    return present;
}

// Without direct rendering (DRI) or the vendor's own GLX, any OpenGL would be software; asking
// the X server costs a round trip, a test context tens of milliseconds.
bool mayHaveHardwareGl(xcb_connection_t* connection) {
    return hasExtension(connection, "DRI3") || hasExtension(connection, "DRI2") ||
           hasExtension(connection, "NV-GLX");
}

QByteArray glRenderer() {
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.create();
    if (!context.create() || !context.makeCurrent(&surface)) return {};
    const auto* name = context.functions()->glGetString(GL_RENDERER);
    const QByteArray renderer(name ? reinterpret_cast<const char*>(name) : "");
    context.doneCurrent();
    return renderer;
}

}  // namespace

bool isSoftwareRenderer(const QByteArray& glRenderer) {
    const QByteArray name = glRenderer.toLower();
    for (const char* software :
         {"llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader", "lavapipe"})
        if (name.contains(software)) return true;
    return name.isEmpty();
}

bool drawsThroughRenderApi() {
    return !platform::x11Connection() || qEnvironmentVariable("FLICKERDECK_PLAYER") == "render";
}

VideoOutput chooseVideoOutput() {
    xcb_connection_t* connection = platform::x11Connection();
    if (drawsThroughRenderApi()) return {kRenderApiOutput, {}};
    if (!mayHaveHardwareGl(connection) || isSoftwareRenderer(glRenderer())) return {"x11", {}};
    // The context is pinned: mpv's probe of every context has taken the whole process down on
    // machines without hardware OpenGL.
    return {"gpu", "x11egl"};
}

}  // namespace player
