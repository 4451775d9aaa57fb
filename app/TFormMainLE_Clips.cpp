// The main window's event clips: the recorder handed to the camera, a clip
// started with an event's first picture, the disk watched while it is written,
// the clip said on the information line and a failure told as the save warning.
#include "TFormMainLE.h"

#include "ClipFile.h"
#include "DiskSpace.h"
#include "PictureName.h"
#include "ShowMessageBox.h"
#include "TVideoCam.h"

#include <QFileInfo>

namespace {

constexpr int kSpaceWatchMs = 1000;

} // namespace

void TFormMainLE::CreateClips()
{
    clips_ = std::make_shared<TClipRecorder>();
    videoCam_->Driver().setClipRecorder(clips_);
    connect(clips_.get(), &TClipRecorder::ClipStarted, this, &TFormMainLE::ClipStarted);
    connect(clips_.get(), &TClipRecorder::ClipFinished, this,
            [this](const QString& clip) { ClipEnded(clip, QString(), false); });
    connect(clips_.get(), &TClipRecorder::ClipFailed, this,
            [this](const QString& clip, const QString& why, bool) { ClipEnded(clip, why, true); });
    clipSpaceWatch_.setInterval(kSpaceWatchMs);
    connect(&clipSpaceWatch_, &QTimer::timeout, this, &TFormMainLE::WatchClipSpace);
}

void TFormMainLE::RecoverClips()
{
    // At start, before any clip of this run is written: a clip a crash or a
    // kill interrupted keeps what it had recorded, whatever the option says now.
    RecoverInterruptedClips(options_.PicturesFolder());
}

void TFormMainLE::ApplyClipSettings()
{
    clips_->SetSettings(options_.ClipSettings());
}

void TFormMainLE::ClipDetection(const QString& pictureName)
{
    if (pictureName.isEmpty() || !clips_->Settings().On)
        return;
    clips_->Detected(ClipFileName(pictureName));
}

void TFormMainLE::ClipStarted(const QString&)
{
    SetInfoText(infoText_);
    clipSpaceWatch_.start();
}

void TFormMainLE::ClipEnded(const QString& clipPath, const QString& why, bool failed)
{
    if (!clips_->Recording()) {
        SetInfoText(infoText_);
        clipSpaceWatch_.stop();
    }
    if (QFileInfo::exists(clipPath))
        retention_.AddedClip(clipPath);
    if (!failed)
        return;
    // The picture save's own warning, naming the clip; a short disk says
    // what is free and what is kept.
    const TDiskSpace space = DiskSpaceOf(QFileInfo(clipPath).absolutePath());
    QString text = QStringLiteral("Error: Unable to save picture:\n") + clipPath;
    if (SpaceIsShort(space))
        text += QLatin1Char('\n') + SpaceShortText(space);
    else if (!why.isEmpty())
        text += QLatin1Char('\n') + why;
    ShowMessageBox(this, text, MkWarning, MbOk);
}

void TFormMainLE::WatchClipSpace()
{
    if (!clips_->Recording()) {
        clipSpaceWatch_.stop();
        return;
    }
    // The clip ends whole before the disk fills, as a picture is not saved.
    const QString folder = QFileInfo(clips_->RecordingPath()).absolutePath();
    if (!SpaceIsShort(DiskSpaceOf(folder)))
        return;
    const QString clip = clips_->RecordingPath();
    clips_->EndEvent();
    SetInfoText(infoText_);
    clipSpaceWatch_.stop();
    ShowMessageBox(this,
                   QStringLiteral("Error: Unable to save picture:\n") + clip + QLatin1Char('\n') +
                       SpaceShortText(DiskSpaceOf(folder)),
                   MkWarning, MbOk);
}
