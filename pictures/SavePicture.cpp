#include "SavePicture.h"

#include "Clock.h"
#include "DiskSpace.h"
#include "EIlxError.h"
#include "JpegCodec.h"
#include "PictureName.h"
#include "ShowMessageBox.h"

namespace {

// A picture that could not be written, as opposed to one that could not be
// drawn: only the first is the saver's to report.
class EPictureWriteError : public EIlxError
{
public:
    using EIlxError::EIlxError;
};

QString writePicture(const QImage& frame, const TPictureSettings& settings, const QDateTime& when)
{
    const QString name = PictureFileName(settings.Folder, settings.Prefix, when);
    QImage copy = frame.copy();
    if (copy.isNull())
        throw EIlxError(QStringLiteral("Not enough memory to copy the picture"));
    if (settings.FrameShown)
        DrawScanFrameOutline(copy, settings.Frame);
    if (settings.DateStamp)
        DrawDateTimeStamp(copy, StampDateText(when), StampTimeText(when));
    try {
        WriteJpegFile(name, copy, settings.Quality);
    } catch (const EIlxError&) {
        throw EPictureWriteError(QStringLiteral("Error: Unable to save picture:\n") + name);
    }
    return name;
}

} // namespace

QString WritePicture(const QImage& frame, const TPictureSettings& settings, const QDateTime& when)
{
    return writePicture(frame, settings, when);
}

QString SavePicture(QWidget* owner, const QImage& frame, const TPictureSettings& settings)
{
    if (frame.isNull())
        return {};
    const QDateTime when = IlxNow();
    TPictureRetention* const retention = settings.Keep.Any() ? settings.Retention : nullptr;
    if (retention)
        retention->NoticeChanges(settings.Folder);
    else if (settings.Retention)
        settings.Retention->Invalidate(); // nothing counted while no limit holds
    TDiskSpace space = DiskSpaceOf(settings.Folder);
    if (SpaceIsShort(space)) {
        // The oldest pictures the limits allow go first; what they freed is
        // counted rather than asked of the disk again.
        if (retention)
            space.Free += retention->Enforce(settings.Folder, settings.Keep, when).Freed;
        if (SpaceIsShort(space)) {
            ShowMessageBox(owner,
                           QStringLiteral("Error: Unable to save picture:\n") +
                               PictureFileName(settings.Folder, settings.Prefix, when) +
                               QLatin1Char('\n') + SpaceShortText(space),
                           MkWarning, MbOk);
            return {};
        }
    }
    try {
        const QString name = writePicture(frame, settings, when);
        if (retention) {
            retention->Added(name);
            retention->Enforce(settings.Folder, settings.Keep, when);
        }
        return name;
    } catch (const EPictureWriteError& e) {
        ShowMessageBox(owner, e.message(), MkWarning, MbOk);
        return {};
    }
}
