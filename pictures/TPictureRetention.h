#pragma once

#include <QDateTime>
#include <QString>

#include <deque>

// How long and how much of the pictures to keep; 0 sets no limit.
struct TRetentionLimits
{
    int Days = 0;
    qint64 Bytes = 0;

    bool Any() const { return Days > 0 || Bytes > 0; }
};

// The pictures of one folder, oldest first, with their total size, kept up to
// date as pictures are saved, so that keeping the folder within its limits
// costs the same with ten pictures or a hundred thousand. The folder is read
// only when a limit is in force and the list is not known yet (at start, after
// a change of folder, after the viewer deleted pictures). Display-free.
//
// Only regular files whose names are this program's picture names, with a
// capture time in them, are ever deleted: nothing else in the folder, no
// sub-folder, no link, and no picture the user made read-only.
class TPictureRetention
{
public:
    // The list no longer matches the folder: it is read again when next needed.
    void Invalidate() { stale_ = true; }
    // A picture just written (full path).
    void Added(const QString& path);
    // Deletes the oldest pictures of `folder` until both limits hold. Returns
    // how many were deleted.
    int Enforce(const QString& folder, const TRetentionLimits& limits, const QDateTime& now);

    qint64 TotalBytes() const { return total_; }
    qsizetype Count() const { return qsizetype(entries_.size()); }

private:
    struct Entry
    {
        qint64 time; // capture time from the name, ms since the epoch
        QString name;
        qint64 size;
    };

    void Rescan(const QString& folder);
    static bool Kept(const QString& name, qint64& time);

    std::deque<Entry> entries_; // oldest first
    QString folder_;
    qint64 total_ = 0;
    bool stale_ = true;
};
