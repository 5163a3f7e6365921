#pragma once

#include <QByteArray>

namespace player {

struct VideoOutput {
    QByteArray output;   // mpv's "vo"
    QByteArray context;  // mpv's "gpu-context", empty for outputs without one
};

// libmpv's output for a program that draws the pictures itself, through the render API.
inline constexpr char kRenderApiOutput[] = "libmpv";

// Wherever the engine can be handed no X11 window to draw in (Wayland, any platform but xcb),
// and on X11 too when FLICKERDECK_PLAYER=render asks for it.
bool drawsThroughRenderApi();

// GPU output only where OpenGL runs on real hardware; on a software renderer (Xvfb, a VM, a
// machine without drivers) it costs several times the CPU of the plain x11 output.
VideoOutput chooseVideoOutput();

// The renderer names of OpenGL implementations that draw on the CPU.
bool isSoftwareRenderer(const QByteArray& glRenderer);

}  // namespace player
