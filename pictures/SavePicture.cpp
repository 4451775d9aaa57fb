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
    if (SpaceIsShort(DiskSpaceOf(settings.Folder))) {
        // The oldest pictures the limits allow go first; the disk itself is
        // never filled to its last bytes.
        if (settings.Retention)
            settings.Retention->Enforce(settings.Folder, settings.Keep, when);
        if (SpaceIsShort(DiskSpaceOf(settings.Folder))) {
            ShowMessageBox(owner,
                           QStringLiteral("Error: Unable to save picture:\n") +
                               PictureFileName(settings.Folder, settings.Prefix, when) +
                               QStringLiteral("\nThe disk is almost full"),
                           MkWarning, MbOk);
            return {};
        }
    }
    try {
        const QString name = writePicture(frame, settings, when);
        if (settings.Retention) {
            settings.Retention->Added(name);
            settings.Retention->Enforce(settings.Folder, settings.Keep, when);
        }
        return name;
    } catch (const EPictureWriteError& e) {
        ShowMessageBox(owner, e.message(), MkWarning, MbOk);
        return {};
    }
}
