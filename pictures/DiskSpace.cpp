#include "DiskSpace.h"

#include <QStorageInfo>

#include <algorithm>

namespace {

constexpr qint64 kLeastFree = 100LL * 1024 * 1024;

std::function<TDiskSpace(const QString&)>& source()
{
    static std::function<TDiskSpace(const QString&)> pinned;
    return pinned;
}

} // namespace

TDiskSpace DiskSpaceOf(const QString& folder)
{
    if (source())
        return source()(folder);
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady())
        return {};
    return {storage.bytesAvailable(), storage.bytesTotal()};
}

bool SpaceIsShort(const TDiskSpace& space)
{
    if (space.Free < 0 || space.Total <= 0)
        return false;
    // A small volume (a memory card, a 64 MB partition) could never hold
    // 100 MB back: there a tenth of it is the margin.
    const qint64 margin = std::min(std::max(kLeastFree, space.Total / 100), space.Total / 10);
    return space.Free < margin;
}

void SetDiskSpaceSource(std::function<TDiskSpace(const QString& folder)> pinned)
{
    source() = std::move(pinned);
}
