#pragma once

#include <QString>

#include <functional>

// The room left on the file system that holds a folder.
struct TDiskSpace
{
    qint64 Free = -1;  // bytes a user may still write; -1 unknown
    qint64 Total = -1; // the file system's size; -1 unknown
};

TDiskSpace DiskSpaceOf(const QString& folder);

// A picture is not written when the free space is under max(100 MB, 1 % of the
// file system), or under a tenth of a file system too small for that: the
// disk is never filled to its last byte. Unknown space is never short.
bool SpaceIsShort(const TDiskSpace& space);

// Tests pin what the disk reports; an empty function restores the real one.
void SetDiskSpaceSource(std::function<TDiskSpace(const QString& folder)> source);
