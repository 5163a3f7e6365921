#pragma once

#include <QByteArray>

namespace player {

struct VideoOutput {
    QByteArray output;   // mpv's "vo"
    QByteArray context;  // mpv's "gpu-context", empty for outputs without one
};

// GPU output only where OpenGL runs on real hardware; on a software renderer (Xvfb, a VM, a
// machine without drivers) it costs several times the CPU of the plain x11 output.
VideoOutput chooseVideoOutput();

// The renderer names of OpenGL implementations that draw on the CPU.
bool isSoftwareRenderer(const QByteArray& glRenderer);

}  // namespace player
