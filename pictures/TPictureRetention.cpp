#include "TPictureRetention.h"

#include "PictureName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>

bool TPictureRetention::Kept(const QString& name, qint64& time)
{
    if (!MatchesPictureName(name))
        return false;
    const auto when = PictureNameTime(name);
    if (!when)
        return false; // a picture name without a moment: not ours to judge
    time = when->toMSecsSinceEpoch();
    return true;
}

void TPictureRetention::Rescan(const QString& folder)
{
    entries_.clear();
    total_ = 0;
    folder_ = folder;
    stale_ = false;
    const QFileInfoList infos =
        QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo& info : infos) {
        qint64 time = 0;
        // A picture the user made read-only is one to keep: it is left alone.
        if (!Kept(info.fileName(), time) || !(info.permissions() & QFileDevice::WriteOwner))
            continue;
        entries_.push_back({time, info.fileName(), info.size()});
        total_ += info.size();
    }
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.time != b.time ? a.time < b.time : a.name < b.name;
    });
}

void TPictureRetention::Added(const QString& path)
{
    const QFileInfo info(path);
    if (stale_ || info.absolutePath() != folder_) {
        // Read whole when a limit needs it; nothing to keep up meanwhile.
        stale_ = true;
        return;
    }
    qint64 time = 0;
    if (!Kept(info.fileName(), time) || !info.isFile())
        return;
    const Entry entry{time, info.fileName(), info.size()};
    // Saves come in time order: the new one goes at the end, unless the
    // clock went back.
    auto at = entries_.end();
    if (!entries_.empty() && entries_.back().time > time)
        at = std::upper_bound(entries_.begin(), entries_.end(), entry,
                              [](const Entry& a, const Entry& b) { return a.time < b.time; });
    entries_.insert(at, entry);
    total_ += entry.size;
}

int TPictureRetention::Enforce(const QString& folder, const TRetentionLimits& limits,
                               const QDateTime& now)
{
    if (!limits.Any())
        return 0;
    const QString where = QFileInfo(folder).absoluteFilePath();
    if (stale_ || where != folder_)
        Rescan(where);
    const qint64 oldestKept =
        limits.Days > 0 ? now.addDays(-limits.Days).toMSecsSinceEpoch() : LLONG_MIN;
    int deleted = 0;
    while (!entries_.empty()) {
        const Entry& oldest = entries_.front();
        const bool tooOld = oldest.time < oldestKept;
        // The newest picture stays, even alone over the size limit: it is
        // the one just taken.
        const bool tooMuch = limits.Bytes > 0 && total_ > limits.Bytes && entries_.size() > 1;
        if (!tooOld && !tooMuch)
            break;
        // Gone already, or not ours to delete after all: either way it no
        // longer counts, so the limits never take more than they must.
        if (QFile::remove(folder_ + QLatin1Char('/') + oldest.name))
            ++deleted;
        total_ -= oldest.size;
        entries_.pop_front();
    }
    return deleted;
}
