// The main window's pictures beyond the scan cycle's save: the folder kept
// within the user's limits, and a detection told to the desktop.
#include "TFormMainLE.h"

#include "Clock.h"
#include "EIlxError.h"
#include "SettingsSchema.h"
#include "TScanController.h"

#include <QFileInfo>

TRetentionLimits TFormMainLE::KeepLimits() const
{
    return keepLimits_;
}

void TFormMainLE::NotifyDesktop(const QImage& frame, const QString& pictureName)
{
    // Every detection counts for the quiet minute, told or not.
    const bool first = notifier_.FirstAfterQuiet(IlxTickCount());
    if (first && options_.NotifyDesktop() && (away_ || !isVisible()))
        notifier_.Notify(IlxNow(), frame, pictureName);
}

void TFormMainLE::KeepPicturesWithinLimits()
{
    // At creation, once the settings are loaded. From here on the limits
    // follow the options as saved, never a spin box as it is typed in.
    picturePrefixes_ = ReadPrefixList(ReadStringSetting(Setting::PicturePrefixes));
    options_.SetOnSaved([this] {
        ApplyKeepLimits();
        ApplyClipSettings();
    });
    ApplyKeepLimits();
    RecoverClips();
    ApplyClipSettings();
}

void TFormMainLE::ApplyKeepLimits()
{
    keepLimits_ = TRetentionLimits{options_.KeepDays(), qint64(options_.KeepMB()) * 1024 * 1024};
    if (!keepLimits_.Any())
        return;
    SetOwnPicturePrefixes();
    retention_.Enforce(options_.PicturesFolder(), keepLimits_, IlxNow());
    KeepLastImage();
}

void TFormMainLE::SetOwnPicturePrefixes()
{
    QStringList own = picturePrefixes_;
    own.append(options_.Prefix());
    retention_.SetOwnPrefixes(own);
}

void TFormMainLE::RememberPicturePrefix(const QString& prefix)
{
    if (!RememberPrefix(picturePrefixes_, prefix))
        return;
    try {
        WriteStringSetting(Setting::PicturePrefixes, PrefixListText(picturePrefixes_));
    } catch (const EIlxError&) {
        // The picture is saved; an unwritable settings file only means that
        // a later run leaves this prefix's pictures alone, the safe side.
    }
}

void TFormMainLE::KeepLastImage()
{
    const QString last = scan_->LastImage();
    if (!last.isEmpty() && !QFileInfo::exists(last))
        scan_->SetLastImage(retention_.Newest());
}
