#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// Real media for tests, made with ffmpeg into a folder the test owns.
namespace testsupport {

// Runs ffmpeg with the given arguments (quiet, overwrite); false when it failed.
bool runFfmpeg(const QStringList& arguments);

// A clip of one solid colour ("red", "0x00ff00") at the given size; sampleAspect "2/1" makes an
// anamorphic one. Returns the absolute path, or an empty text when ffmpeg failed.
QString solidClip(const QString& folder, const QString& name, const QString& colour, QSize size,
                  double seconds, const QString& sampleAspect = QStringLiteral("1/1"));

// A sine tone as a .wav (no picture).
QString toneClip(const QString& folder, const QString& name, double seconds);

}  // namespace testsupport
