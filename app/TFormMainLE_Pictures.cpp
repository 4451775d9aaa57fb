// The main window's pictures beyond the scan cycle's save: the folder kept
// within the user's limits, and a detection told to the desktop.
#include "TFormMainLE.h"

#include "Clock.h"

TRetentionLimits TFormMainLE::KeepLimits() const
{
    return TRetentionLimits{options_.KeepDays(), qint64(options_.KeepMB()) * 1024 * 1024};
}

void TFormMainLE::NotifyDesktop(const QImage& frame, const QString& pictureName)
{
    // Every detection counts for the quiet minute, told or not.
    const bool first = notifier_.FirstAfterQuiet(IlxTickCount());
    if (first && options_.NotifyDesktop() && (isMinimized() || !isVisible()))
        notifier_.Notify(IlxNow(), frame, pictureName);
}

void TFormMainLE::KeepPicturesWithinLimits()
{
    retention_.Enforce(options_.PicturesFolder(), KeepLimits(), IlxNow());
}
