// The main window's other commands: scan frame, scheduler, viewer, About,
// Web, and the hooks it gives the options window.
#include "TFormMainLE.h"

#include "AboutText.h"
#include "DataPaths.h"
#include "EIlxError.h"
#include "TFormView.h"
#include "THelpWindow.h"
#include "TPanelTrans.h"
#include "TScanController.h"
#include "TScanFrame.h"
#include "TScheduler.h"
#include "TVideoCam.h"

#include "OpenDocument.h"
#include "TAboutBox.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

void TFormMainLE::CreateSchedule()
{
    scheduler_ = std::make_unique<TScheduler>(static_cast<SchedulerHost&>(*this),
                                              DataPaths().Schedule, this);
    scheduleAvailable_ = scheduler_->Setup();
    KeepScheduleUnavailable(commands_, scheduleAvailable_);
    ApplyCommandStates();
}

void TFormMainLE::CreateScanFrame()
{
    scanFrame_ = std::make_unique<TScanFrame>(static_cast<TScanFrameHost&>(*this), PanelVideo);
    scanFrame_->PanelTransFrame()->setProperty("HelpContext", 20078);
}

// Scan frame host.
QRect TFormMainLE::VideoViewRect() const
{
    return videoCam_->geometry();
}

bool TFormMainLE::VideoViewVisible() const
{
    return videoCam_->isVisible();
}

QRect TFormMainLE::FreezeRect() const
{
    return ImageFreeze->geometry();
}

void TFormMainLE::ShowStatusHint(const QString& text)
{
    SetPanelHint(text);
}

void TFormMainLE::MenuItemFrameClick()
{
    const bool on = RxSpeedButtonFrame->isChecked();
    MenuItemFrame->setChecked(on);
    scanFrame_->ShowFrame(on && VideoActive());
}

// Scheduler host.
bool TFormMainLE::SchedulerActive() const
{
    return schedulerActive_;
}

void TFormMainLE::SetSchedulerActive(bool on)
{
    // The button and the menu item toggle themselves when used; both are set
    // from the one state so they never disagree with it or each other.
    schedulerActive_ = on;
    RxSpeedButtonScheduler->setChecked(on);
    MenuItemSchedulerActivate->setChecked(on);
}

bool TFormMainLE::Scanning() const
{
    return scan_->Scanning();
}

void TFormMainLE::RunScanningCommand(QObject* sender)
{
    scan_->RxSpeedButtonAnalyseClick(sender);
}

void TFormMainLE::SetSchedulerHint(const QString& text)
{
    SetHint(RxSpeedButtonScheduler, text);
}

void TFormMainLE::DisableSchedulerCommands()
{
    scheduleAvailable_ = false;
    OnScheduleUnavailable(commands_);
    ApplyCommandStates();
}

void TFormMainLE::MirrorSchedulerToOptions(bool on)
{
    options_.MirrorScheduler(on);
}

void TFormMainLE::HandleScheduleMessage(std::intptr_t wParam, std::intptr_t lParam)
{
    if (scheduler_)
        scheduler_->HandleScheduleMessage(wParam, lParam);
}

void TFormMainLE::MenuItemPreviewClick()
{
    const bool wasScanning = scan_->Scanning();
    scan_->SetScanning(false);
    const QString folder = options_.PicturesFolder();
    const QString savedBefore = scan_->LastImage();
    const QString viewed =
        TFormView::Open(this, folder, ViewerOwnerLine(),
                        [this](int topic, QPoint at) { ShowHelpNumber(topic, at); });
    // The auto-start or the scheduler may have switched scanning on while the
    // viewer was open; that scan holds its locks and took its own pictures,
    // so it goes on and its newest picture stays the last one.
    if (scan_->LastImage() == savedBefore)
        scan_->SetLastImage(viewed);
    // Pictures deleted in the viewer no longer count toward the limits.
    retention_.Invalidate();
    if (!scan_->Scanning())
        scan_->SetScanning(wasScanning);
}

void TFormMainLE::MenuItemAboutClick()
{
    TAboutBox about(this);
    about.SetTitle(QStringLiteral("About..."));
    about.SetComments(AboutComments());
    about.Execute();
}

void TFormMainLE::MenuItemWebClick()
{
    if (!webAddress_.isEmpty()) {
        OpenDocument(this, webAddress_.left(512));
    }
}
