#pragma once

#include <QString>

// Writes a short H.264 MP4 clip from GStreamer's test pattern (176 x 144, 15
// frames a second), as an event clip would be written. Empty on success,
// else why it could not.
QString MakeTestClip(const QString& path, int frames = 15);
