// The main window's side of the scan cycle: what the scan controller asks of
// it, the options window's live settings, and the keyboard.
#include "TFormMainLE.h"

#include "BmpFile.h"
#include "DataPaths.h"
#include "FrameComparison.h"
#include "MenuGlyphs.h"
#include "PictureDrawing.h"
#include "SavePicture.h"
#include "ShowMessageBox.h"
#include "TScanController.h"
#include "TStatusBarVideo.h"
#include "TVideoCam.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QThread>
#include <QToolButton>

bool TFormMainLE::VideoActive() const
{
    return videoCam_ && videoCam_->Active();
}

void TFormMainLE::GrabFrame()
{
    // A grab that cannot write leaves no older frame behind to be read as this
    // cycle's: the cycle fails instead of comparing a picture with itself.
    QFile::remove(videoCam_->ImageFile());
    videoCam_->GrabFrame();
}

QImage TFormMainLE::LoadGrabbedFrame()
{
    return BmpFile::Load(videoCam_->ImageFile());
}

TScanOptions TFormMainLE::ScanOptions() const
{
    return options_.ScanOptions();
}

bool TFormMainLE::AutoStartSettled() const
{
    return options_.AutoStartSettled();
}

void TFormMainLE::SetAutoStartSettled()
{
    options_.SetAutoStartSettled();
}

bool TFormMainLE::AutoStartCountdown(QString& text)
{
    return options_.AutoStartCountdown(text);
}

bool TFormMainLE::SoundBusy() const
{
    return options_.SoundBusy();
}

void TFormMainLE::StartSoundAlarm(QObject* sender, bool loop, const QString& file)
{
    options_.StartSoundAlarm(sender, loop, file);
}

void TFormMainLE::HideOptionsWindow()
{
    options_.Hide();
}

TScanArea TFormMainLE::ScanArea() const
{
    // The frame's own percentages: a move or resize counts from the next cycle on.
    TScanArea a = scanFrame_ ? scanFrame_->Area() : TScanArea{};
    a.Shown = a.Shown && RxSpeedButtonFrame->isChecked();
    return a;
}

QString TFormMainLE::SavePicture(const QImage& frame)
{
    TPictureSettings p;
    p.Folder = options_.PicturesFolder();
    p.Prefix = options_.Prefix();
    p.DateStamp = options_.DateStamp();
    p.Quality = options_.Quality();
    const TScanArea area = ScanArea();
    p.FrameShown = area.Shown;
    p.Frame = TScanFramePercent{area.PX, area.PY, area.PW, area.PH};
    p.Retention = &retention_;
    p.Keep = KeepLimits();
    if (p.Keep.Any())
        SetOwnPicturePrefixes();
    const QString name = ::SavePicture(this, frame, p);
    if (!name.isEmpty())
        RememberPicturePrefix(p.Prefix);
    ClipDetection(name);
    NotifyDesktop(frame, name);
    if (name.isEmpty() && !frame.isNull() && scan_->Scanning()) {
        // Scanning goes off the whole way, as from its button: the commands it
        // locked come back (the user can reach the options and pick another
        // pictures folder), the still and the caption stop saying it scans.
        scan_->RxSpeedButtonAnalyseClick(nullptr);
    }
    return name;
}

void TFormMainLE::ShowInfo(const QString& text)
{
    SetInfoText(text);
}

void TFormMainLE::SetVideoPanelRed(bool red)
{
    QPalette pal = PanelVideo->palette();
    pal.setColor(QPalette::Window, red ? QColor(Qt::red) : QColor(Qt::black));
    PanelVideo->setPalette(pal);
}

void TFormMainLE::SetHeartbeat(QChar c)
{
    if (!VideoActive())
        return;
    QString caption = windowTitle();
    if (caption.isEmpty())
        return;
    caption[caption.size() - 1] = c;
    setWindowTitle(caption);
}

void TFormMainLE::ShowDetectionCount(int count)
{
    detectionCount_ = count;
    statusBar_->SetPanelText(1, QString::number(count));
    statusBar_->update();
}

void TFormMainLE::SetAnalyseLook(const QString& menuCaption, const QString& hint, int imageIndex)
{
    MenuItemAnalyse->setText(menuCaption);
    MenuItemAnalyse->setStatusTip(hint);
    SetHint(RxSpeedButtonAnalyse, hint);
    RxSpeedButtonAnalyse->setIcon(MenuGlyph(imageIndex));
}

void TFormMainLE::SetConnectEnabled(bool enabled)
{
    commands_.ConnectButton = commands_.ConnectMenu = enabled;
    ApplyCommandStates();
}

void TFormMainLE::SetScanLocks(bool scanning)
{
    OnScanningChanged(commands_, scanning, Zoomed());
    KeepScheduleUnavailable(commands_, scheduleAvailable_);
    ApplyCommandStates();
    if (scanFrame_)
        scanFrame_->SetLocked(scanning || Zoomed());
}

bool TFormMainLE::PauseDown() const
{
    return RxSpeedButtonPause->isChecked();
}

void TFormMainLE::SetPauseDown(bool down)
{
    (down ? RxSpeedButtonPause : RxSpeedButtonPlay)->setChecked(true);
}

void TFormMainLE::SetVideoDialogsEnabled(bool enabled)
{
    OnVideoPausedChanged(commands_, !enabled, DriverDialogs());
    ApplyCommandStates();
}

void TFormMainLE::ShowFrozen(bool frozen)
{
    ImageFreeze->setVisible(frozen);
    videoCam_->setVisible(!frozen && VideoActive());
}

void TFormMainLE::ShowStill(const QImage& still)
{
    ImageFreeze->setPixmap(QPixmap::fromImage(still));
}

void TFormMainLE::SetModeVideoCaption(const QString& caption)
{
    MenuItemModeVideo->setText(caption);
}

void TFormMainLE::RelayoutVideo()
{
    CheckBoxScaleVideoClick();
}

void TFormMainLE::DrawPictureLabel(QImage& picture, const QString& text)
{
    ::DrawPictureLabel(picture, text);
}

void TFormMainLE::RestoreScanFrame()
{
    MenuItemFrame->setChecked(RxSpeedButtonFrame->isChecked());
    if (scanFrame_)
        scanFrame_->ShowFrame(RxSpeedButtonFrame->isChecked());
}

bool TFormMainLE::HandleKey(QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (key->key() == Qt::Key_Space) {
        if (!MenuItemModeVideo->isEnabled())
            return true;
        scan_->RxSpeedButtonPauseClick(true);
        return true;
    }
    if (key->key() == Qt::Key_Escape && scan_->Scanning() && !IsGateStopped()) {
        RequestComparisonStop();
        scan_->RxSpeedButtonAnalyseClick(nullptr);
        ShowMessageBox(this, QStringLiteral("Scanning canceled"), MkInformation, MbOk);
        return true;
    }
    return false;
}
