#pragma once

#include <QString>

class QIODevice;

// A clip is written under a hidden temporary name beside its final one and
// renamed when complete, so a file under a clip's name is always a whole
// clip. It is written as a fragmented MP4 (a header, then one self-contained
// piece a second), so what an interruption leaves under the temporary name
// can be cut back to its last complete piece and kept.

// "<folder>/.<clip name>.part" for "<folder>/<clip name>".
QString ClipTempName(const QString& clipPath);
// The clip a temporary name stands for; empty when `tempPath` is not one.
QString ClipOfTempName(const QString& tempPath);

// How many bytes from the start of an MP4 play on their own: through the
// last complete fragment (or the whole of a finished file); 0 when not even
// one fragment is complete. Reads box headers only; the data is untrusted.
qint64 PlayableLength(QIODevice& file);

// Keeps what an interrupted clip recorded: the temporary file is cut back to
// its playable length and takes the clip's name, or is removed when nothing
// in it plays (or the name is taken). True when a clip is left.
bool RecoverClip(const QString& tempPath);

// Recovers every interrupted clip in `folder`; returns how many were kept.
int RecoverInterruptedClips(const QString& folder);
