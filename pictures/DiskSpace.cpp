#include "DiskSpace.h"

#include <QFile>

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr qint64 kMB = 1024 * 1024;
constexpr qint64 kKeptFree = 100 * kMB;

std::function<TDiskSpace(const QString&)>& source()
{
    static std::function<TDiskSpace(const QString&)> pinned;
    return pinned;
}

// "42 MB", "3.5 MB", "1.8 GB": enough to tell the user what is missing.
QString sizeText(qint64 bytes)
{
    const bool giga = bytes >= 1024 * kMB;
    const double value = double(bytes) / double(giga ? 1024 * kMB : kMB);
    return QString::number(value, 'f', value < 10 ? 1 : 0) +
           (giga ? QStringLiteral(" GB") : QStringLiteral(" MB"));
}

} // namespace

TDiskSpace DiskSpaceOf(const QString& folder)
{
    if (source())
        return source()(folder);
    // Asked of the folder itself, not of a mount table: it answers inside a
    // chroot or a container too, and costs one call a save.
    struct statvfs fs = {};
    int result = 0;
    do {
        result = ::statvfs(QFile::encodeName(folder).constData(), &fs);
    } while (result != 0 && errno == EINTR);
    if (result != 0 || fs.f_blocks == 0)
        return {};
    const qint64 unit = qint64(fs.f_frsize != 0 ? fs.f_frsize : fs.f_bsize);
    return {qint64(fs.f_bavail) * unit, qint64(fs.f_blocks) * unit};
}

qint64 KeptFree(const TDiskSpace& space)
{
    if (space.Free < 0 || space.Total <= 0)
        return 0;
    return std::min(kKeptFree, space.Total / 10);
}

bool SpaceIsShort(const TDiskSpace& space)
{
    return space.Free >= 0 && space.Free < KeptFree(space);
}

QString SpaceShortText(const TDiskSpace& space)
{
    const qint64 kept = KeptFree(space);
    QString text = QStringLiteral("Only %1 is free on the disk of the pictures folder")
                       .arg(sizeText(space.Free));
    if (kept < kKeptFree)
        return text + QStringLiteral(", and a tenth of this %1 disk (%2) is kept free.")
                          .arg(sizeText(space.Total), sizeText(kept));
    return text + QStringLiteral(", and %1 is kept free.").arg(sizeText(kept));
}

void SetDiskSpaceSource(std::function<TDiskSpace(const QString& folder)> pinned)
{
    source() = std::move(pinned);
}
