#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The picture file name is the one link between the saver and the viewer:
//   <folder>/<prefix> yyyy-mm-dd hh-mm-ss-mmm.jpg
// Every character but the digits is literal, whatever the system's locale.

// Full path of a picture taken at `when`.
QString PictureFileName(const QString& folder, const QString& prefix, const QDateTime& when);

// The two stamp lines drawn on a picture taken at `when`.
QString StampDateText(const QDateTime& when); // dd-mm-yy
QString StampTimeText(const QDateTime& when); // hh:mm:ss:mmm

// True when a bare file name (no folder) has the shape the viewer lists:
// one to three characters, a space, then "????-??-?? ??-??-??-???.jpg".
bool MatchesPictureName(const QString& name);

// The capture date and time read back from a bare name by character
// position; empty when the fields are not digits or do not make a valid
// date (and, for the full time, a valid time of day). Names come from the
// disk, so nothing here trusts them.
std::optional<QDate> PictureNameDate(const QString& name);
std::optional<QDateTime> PictureNameTime(const QString& name);

// The capture moment as wall-clock milliseconds: the local clock's reading
// written in the name, no time zone applied. Cheap, and free of the
// daylight-saving hour's gaps and repeats; empty like PictureNameTime.
std::optional<qint64> PictureNameWallClock(const QString& name);
// The same measure for a moment of the local clock.
qint64 WallClockMs(const QDateTime& when);

// An event's video clip lies beside its first picture, under the picture's
// name with ".mp4" in place of ".jpg"; empty for a name that is not a picture's.
QString ClipFileName(const QString& picturePath);
