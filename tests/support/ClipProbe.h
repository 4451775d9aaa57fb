#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// What a clip holds, learnt by decoding all of it as a player would.
struct ClipFacts
{
    bool playable = false; // demuxed and decoded to its end without an error
    QString error;
    int frames = 0;
    qint64 firstPtsMs = -1;
    qint64 lastPtsMs = -1;
    qint64 durationMs = -1; // as the container tells it
    int width = 0;
    int height = 0;
    QString codec;     // the stream's caps name, e.g. "video/x-h264"
    QImage firstFrame; // RGB32
    QImage lastFrame;

    qint64 spanMs() const { return frames > 0 ? lastPtsMs - firstPtsMs : 0; }
};

ClipFacts ProbeClip(const QString& path);
