#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <deque>

// How long and how much of the pictures to keep; 0 sets no limit.
struct TRetentionLimits
{
    int Days = 0;
    qint64 Bytes = 0;

    bool Any() const { return Days > 0 || Bytes > 0; }
    bool operator==(const TRetentionLimits&) const = default;
};

// What one enforcement did.
struct TRetentionOutcome
{
    int Deleted = 0;
    qint64 Freed = 0; // bytes of the pictures deleted
};

// The pictures of one folder with their total size, kept up to date as
// pictures are saved, so that keeping the folder within its limits costs the
// same with ten pictures or a hundred thousand. The folder is read again
// whenever its modification time says someone else changed it since our own
// last write or delete (a picture copied in, files removed by hand, the
// viewer), and when the known prefixes change. Display-free; runs on the
// user-interface thread.
//
// Deletion order: pictures of earlier runs by the time in their names, then
// the pictures saved in this run in the order they were saved. A name in the
// future (a clock that was wrong once, a picture from another machine) thus
// counts as older than anything this run saved. The newest picture (the
// last saved in this run, else the last of that order) is never deleted.
//
// An event's clip ("<picture name>.mp4" in place of ".jpg") counts and goes
// with its picture; a clip whose picture is gone counts as a picture would.
//
// Only the program's own pictures are counted or deleted: a regular file of
// ours, not read-only, named "<prefix> yyyy-mm-dd hh-mm-ss-mmm.jpg" exactly as
// the saver writes it (lower-case ".jpg", a real date and time), whose prefix
// is one the program saves under, and whose content starts as a JPEG (read
// just before deleting). Nothing else in the folder: no sub-folder, no link,
// no one else's file.
class TPictureRetention
{
public:
    // The prefixes the program saved pictures under, in any run, and the one
    // it saves under now. A change reads the folder again when next needed.
    void SetOwnPrefixes(const QStringList& prefixes);
    const QStringList& OwnPrefixes() const { return ownPrefixes_; }

    // The list no longer matches the folder: it is read again when next needed.
    void Invalidate() { stale_ = true; }
    // Before the program writes into `folder`: notices a change made by
    // someone else since our last write, which our own would otherwise hide.
    void NoticeChanges(const QString& folder);
    // A picture just written (full path), the newest of this run.
    void Added(const QString& path);
    // An event's clip just completed beside its first picture (full path).
    void AddedClip(const QString& clipPath);
    // Deletes pictures of `folder` in the order above until both limits hold.
    TRetentionOutcome Enforce(const QString& folder, const TRetentionLimits& limits,
                              const QDateTime& now);

    // Full path of the newest picture known; empty when none is.
    QString Newest() const;
    qint64 TotalBytes() const { return total_; }
    qsizetype Count() const { return qsizetype(earlier_.size() + run_.size()); }

private:
    struct Entry
    {
        qint64 time; // wall-clock milliseconds from the name
        QString name;
        qint64 size;
        qint64 clipSize = -1; // the picture's clip beside it; -1 when it has none
        qint64 Bytes() const { return size + std::max<qint64>(clipSize, 0); }
    };
    // Identity and modification time of the folder, as stat tells them.
    struct FolderStamp
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 seconds = -1;
        qint64 nanoseconds = -1;
        bool operator==(const FolderStamp&) const = default;
    };
    enum class Removal
    {
        Deleted,
        NotOurs, // gone, or not a picture of ours after all: no longer counted
        Refused  // the folder refuses the deletion: left as it is, still counted
    };

    void Rescan(const QString& folder);
    bool Candidate(const QString& name, qint64& time) const;
    bool Protected(const std::deque<Entry>& from) const;
    Removal Remove(int folderFd, std::deque<Entry>& from, TRetentionOutcome& outcome);
    static Removal RemoveFile(int folderFd, const QString& name, TRetentionOutcome& outcome);
    static FolderStamp StampOf(const QString& folder);

    std::deque<Entry> earlier_; // pictures of earlier runs, by name time
    std::deque<Entry> run_;     // pictures saved in this run, in save order
    QStringList ownPrefixes_;
    QString folder_;
    FolderStamp stamp_; // after our own last write or delete
    qint64 total_ = 0;
    bool stale_ = true;
};

// The remembered prefixes as stored: separated by blanks, which no prefix
// may hold. At most kMaxRememberedPrefixes are kept, the latest ones.
inline constexpr int kMaxRememberedPrefixes = 64;
QStringList ReadPrefixList(const QString& stored);
QString PrefixListText(const QStringList& prefixes);
// Adds `prefix` to `list`; true when it was not there (and must be stored).
bool RememberPrefix(QStringList& list, const QString& prefix);
