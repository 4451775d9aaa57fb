#pragma once

#include <QString>

#include <functional>

// The room left on the file system that holds a folder.
struct TDiskSpace
{
    qint64 Free = -1;  // bytes a user may still write; -1 unknown
    qint64 Total = -1; // the file system's size; -1 unknown
};

// One statvfs of the folder; unknown when the system cannot tell.
TDiskSpace DiskSpaceOf(const QString& folder);

// What a picture may never take: 100 MB, or a tenth of a volume too small
// for that (a memory card, a small partition). Unknown space keeps nothing.
qint64 KeptFree(const TDiskSpace& space);

// A picture is not written when the free space is under what is kept free:
// the disk is never filled to its last bytes. Unknown space is never short.
bool SpaceIsShort(const TDiskSpace& space);

// Why a picture was not written, for the warning: how much is free and how
// much is kept free.
QString SpaceShortText(const TDiskSpace& space);

// Tests pin what the disk reports; an empty function restores the real one.
void SetDiskSpaceSource(std::function<TDiskSpace(const QString& folder)> source);
