#include "TPictureRetention.h"

#include "PictureName.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

namespace {

// A file descriptor owned by one scope.
class UniqueFd final
{
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    bool isValid() const { return fd_ >= 0; }

private:
    int fd_;
};

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

constexpr qsizetype kNameAfterPrefix = 28; // " yyyy-mm-dd hh-mm-ss-mmm.jpg"
constexpr qint64 kDayMs = 86400000;

// The saver writes pictures as this user, writable: anything else in the
// folder (a link, a sub-folder, a device, someone else's file, a picture the
// user made read-only to keep it) is not ours to count or delete.
bool ownWritableFile(const struct stat& st)
{
    static const uid_t self = ::geteuid();
    return S_ISREG(st.st_mode) && st.st_uid == self && (st.st_mode & S_IWUSR) != 0;
}

// Every JPEG begins with the start-of-image marker and a segment's marker.
bool startsAsJpeg(int fd)
{
    unsigned char head[3] = {};
    ssize_t got = 0;
    do {
        got = ::read(fd, head, sizeof head);
    } while (got < 0 && errno == EINTR);
    return got == 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

// Every MP4 the program writes begins with its file-type box.
bool startsAsMp4(int fd)
{
    unsigned char head[8] = {};
    ssize_t got = 0;
    do {
        got = ::read(fd, head, sizeof head);
    } while (got < 0 && errno == EINTR);
    return got == 8 && std::equal(head + 4, head + 8, "ftyp");
}

const QLatin1String kPictureSuffix(".jpg");
const QLatin1String kClipSuffix(".mp4");

QString PictureOfClip(const QString& clipName)
{
    return clipName.chopped(kClipSuffix.size()) + kPictureSuffix;
}

bool validPrefix(const QString& prefix)
{
    if (prefix.isEmpty() || prefix.size() > 3)
        return false;
    return std::none_of(prefix.begin(), prefix.end(), [](QChar c) {
        return c.isSpace() || c == QLatin1Char('*') || c == QLatin1Char('/') ||
               c == QLatin1Char(':') || c == QLatin1Char('\\');
    });
}

} // namespace

TPictureRetention::FolderStamp TPictureRetention::StampOf(const QString& folder)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_mtim.tv_sec),
            qint64(st.st_mtim.tv_nsec)};
}

void TPictureRetention::SetOwnPrefixes(const QStringList& prefixes)
{
    QStringList own = prefixes;
    own.sort();
    own.removeDuplicates();
    if (own == ownPrefixes_)
        return;
    ownPrefixes_ = own;
    stale_ = true;
}

bool TPictureRetention::Candidate(const QString& name, qint64& time) const
{
    const qsizetype prefix = name.size() - kNameAfterPrefix;
    // Exactly the saver's own extensions: ".JPG" is someone else's file.
    const bool clip = name.endsWith(kClipSuffix);
    if (prefix < 1 || prefix > 3 || !(clip || name.endsWith(kPictureSuffix)) ||
        !MatchesPictureName(clip ? PictureOfClip(name) : name))
        return false;
    const QStringView head = QStringView(name).left(prefix);
    if (std::none_of(ownPrefixes_.begin(), ownPrefixes_.end(),
                     [&](const QString& own) { return head == own; }))
        return false;
    const auto when = PictureNameWallClock(name);
    if (!when)
        return false; // a picture name without a moment: not ours to judge
    time = *when;
    return true;
}

void TPictureRetention::NoticeChanges(const QString& folder)
{
    if (stale_)
        return;
    const FolderStamp now = StampOf(folder_);
    if (QFileInfo(folder).absoluteFilePath() != folder_ || now.seconds < 0 || !(now == stamp_))
        stale_ = true;
}

void TPictureRetention::Rescan(const QString& folder)
{
    // What is known already is not asked of the disk again: reading a folder
    // of 100 000 pictures stays a listing of names. Each file is looked at
    // again anyway just before it is deleted.
    QHash<QString, qint64> knownSizes;
    if (folder == folder_) {
        knownSizes.reserve(Count());
        for (const std::deque<Entry>* from : {&earlier_, &run_})
            for (const Entry& entry : *from) {
                knownSizes.insert(entry.name, entry.size);
                if (entry.clipSize >= 0)
                    knownSizes.insert(ClipFileName(entry.name), entry.clipSize);
            }
    }
    folder_ = folder;
    stale_ = false;
    // Taken before reading: a change made meanwhile is seen next time.
    stamp_ = StampOf(folder);
    std::vector<Entry> found;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    if (dir) {
        const int fd = ::dirfd(dir.get());
        while (const dirent* d = ::readdir(dir.get())) {
            if (d->d_type != DT_REG && d->d_type != DT_UNKNOWN)
                continue;
            const QString name = QFile::decodeName(d->d_name);
            qint64 time = 0;
            if (!Candidate(name, time))
                continue;
            const auto known = knownSizes.constFind(name);
            if (known != knownSizes.constEnd()) {
                found.push_back({time, name, *known});
                continue;
            }
            struct stat st = {};
            if (::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && ownWritableFile(st))
                found.push_back({time, name, qint64(st.st_size)});
        }
    }
    knownSizes.clear();
    // Each clip joins its picture; one whose picture is gone stands alone.
    QHash<QString, std::size_t> pictureAt;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].name.endsWith(kPictureSuffix))
            pictureAt.insert(found[i].name, i);
    }
    for (Entry& clip : found) {
        if (!clip.name.endsWith(kClipSuffix))
            continue;
        const auto picture = pictureAt.constFind(PictureOfClip(clip.name));
        if (picture == pictureAt.constEnd())
            continue;
        found[*picture].clipSize = clip.size;
        clip.size = -1; // joined
    }
    std::erase_if(found, [](const Entry& entry) { return entry.size < 0; });

    // This run's pictures keep their save order; the rest go by name time.
    QHash<QString, std::size_t> runAt;
    runAt.reserve(qsizetype(run_.size()));
    for (std::size_t i = 0; i < run_.size(); ++i)
        runAt.insert(run_[i].name, i);
    std::vector<bool> stillThere(run_.size(), false);
    earlier_.clear();
    total_ = 0;
    for (Entry& entry : found) {
        total_ += entry.Bytes();
        const auto at = runAt.constFind(entry.name);
        if (at != runAt.constEnd()) {
            run_[*at].size = entry.size;
            run_[*at].clipSize = entry.clipSize;
            stillThere[*at] = true;
        } else {
            earlier_.push_back(std::move(entry));
        }
    }
    std::deque<Entry> run;
    for (std::size_t i = 0; i < run_.size(); ++i) {
        if (stillThere[i])
            run.push_back(std::move(run_[i]));
    }
    run_ = std::move(run);
    std::sort(earlier_.begin(), earlier_.end(), [](const Entry& a, const Entry& b) {
        return a.time != b.time ? a.time < b.time : a.name < b.name;
    });
}

void TPictureRetention::Added(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!MatchesPictureName(name))
        return;
    const qsizetype prefix = name.size() - kNameAfterPrefix;
    if (!ownPrefixes_.contains(name.left(prefix))) {
        // A prefix the program now saves under: its earlier pictures count too.
        ownPrefixes_.append(name.left(prefix));
        ownPrefixes_.sort();
        stale_ = true;
    }
    qint64 time = 0;
    if (!Candidate(name, time))
        return;
    const qint64 size = info.size();
    // Kept even while the list is stale: reading the folder again keeps this
    // run's pictures in their save order.
    run_.push_back({time, name, size});
    if (stale_ || info.absolutePath() != folder_)
        return;
    total_ += size;
    stamp_ = StampOf(folder_);
}

void TPictureRetention::AddedClip(const QString& clipPath)
{
    const QFileInfo info(clipPath);
    if (stale_ || info.absolutePath() != folder_ || !info.fileName().endsWith(kClipSuffix))
        return; // counted when the folder is read again
    const QString picture = PictureOfClip(info.fileName());
    for (auto entry = run_.rbegin(); entry != run_.rend(); ++entry) {
        if (entry->name != picture)
            continue;
        total_ -= entry->Bytes();
        entry->clipSize = info.size();
        total_ += entry->Bytes();
        stamp_ = StampOf(folder_);
        return;
    }
    stale_ = true; // its picture is not one of this run's: read the folder again
}

bool TPictureRetention::Protected(const std::deque<Entry>& from) const
{
    // The newest picture: the last saved in this run, else the last of the rest.
    return from.size() == 1 && (&from == &run_ || run_.empty());
}

TPictureRetention::Removal TPictureRetention::RemoveFile(int folderFd, const QString& fileName,
                                                         TRetentionOutcome& outcome)
{
    const QByteArray name = QFile::encodeName(fileName);
    // Looked at through the very file about to go: a link or a file put in
    // its place since the folder was read is left alone.
    const UniqueFd file(
        ::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st = {};
    struct stat named = {};
    const bool clip = fileName.endsWith(kClipSuffix);
    if (file.isValid() && ::fstat(file.get(), &st) == 0 && ownWritableFile(st) &&
        (clip ? startsAsMp4(file.get()) : startsAsJpeg(file.get())) &&
        ::fstatat(folderFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_ino == st.st_ino && named.st_dev == st.st_dev) {
        if (::unlinkat(folderFd, name.constData(), 0) == 0) {
            ++outcome.Deleted;
            outcome.Freed += qint64(st.st_size);
            return Removal::Deleted;
        }
        if (errno != ENOENT)
            return Removal::Refused;
    }
    return Removal::NotOurs;
}

TPictureRetention::Removal TPictureRetention::Remove(int folderFd, std::deque<Entry>& from,
                                                     TRetentionOutcome& outcome)
{
    const Entry& entry = from.front();
    const Removal result = RemoveFile(folderFd, entry.name, outcome);
    if (result == Removal::Refused)
        return result;
    // The clip goes with its picture; one the folder keeps is seen again
    // when the folder is next read.
    if (entry.clipSize >= 0) {
        TRetentionOutcome clip;
        RemoveFile(folderFd, ClipFileName(entry.name), clip);
        outcome.Freed += clip.Freed; // a picture and its clip are one deletion
    }
    total_ -= entry.Bytes();
    from.pop_front();
    return result;
}

TRetentionOutcome TPictureRetention::Enforce(const QString& folder, const TRetentionLimits& limits,
                                             const QDateTime& now)
{
    TRetentionOutcome outcome;
    if (!limits.Any())
        return outcome;
    NoticeChanges(folder);
    if (stale_)
        Rescan(QFileInfo(folder).absoluteFilePath());

    UniqueFd dir;
    bool refused = false;
    const auto removeFront = [&](std::deque<Entry>& from) {
        if (!dir.isValid())
            dir.reset(
                ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        // A folder that refuses deletions is tried again at the next save;
        // newer pictures never go in place of the ones it keeps.
        refused = !dir.isValid() || Remove(dir.get(), from, outcome) == Removal::Refused;
        return !refused;
    };

    if (limits.Days > 0) {
        const qint64 oldestKept = WallClockMs(now) - qint64(limits.Days) * kDayMs;
        for (std::deque<Entry>* from : {&earlier_, &run_}) {
            while (!refused && !from->empty() && from->front().time < oldestKept &&
                   !Protected(*from) && removeFront(*from)) {
            }
        }
    }
    while (!refused && limits.Bytes > 0 && total_ > limits.Bytes) {
        std::deque<Entry>& from = earlier_.empty() ? run_ : earlier_;
        if (from.empty() || Protected(from) || !removeFront(from))
            break;
    }
    if (outcome.Deleted > 0)
        stamp_ = StampOf(folder_);
    return outcome;
}

QString TPictureRetention::Newest() const
{
    const std::deque<Entry>& from = run_.empty() ? earlier_ : run_;
    return from.empty() ? QString() : folder_ + QLatin1Char('/') + from.back().name;
}

QStringList ReadPrefixList(const QString& stored)
{
    QStringList prefixes;
    for (const QString& prefix : stored.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        RememberPrefix(prefixes, prefix);
    return prefixes;
}

QString PrefixListText(const QStringList& prefixes)
{
    return prefixes.join(QLatin1Char(' '));
}

bool RememberPrefix(QStringList& list, const QString& prefix)
{
    if (!validPrefix(prefix) || list.contains(prefix))
        return false;
    list.append(prefix);
    while (list.size() > kMaxRememberedPrefixes)
        list.removeFirst();
    return true;
}
