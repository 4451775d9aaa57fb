// The main window watching on its own: a lost camera tried again until it
// comes back.
#include "TFormMainLE.h"

#include "Clock.h"
#include "EIlxError.h"
#include "TAlarmLog.h"
#include "TScanController.h"
#include "TVideoCam.h"

#include <QMessageBox>

namespace {

constexpr int kReconnectIntervalMs = 5000;

} // namespace

void TFormMainLE::CreateReconnection()
{
    TimerReconnect.setObjectName(QStringLiteral("TimerReconnect"));
    TimerReconnect.setInterval(kReconnectIntervalMs);
    connect(&TimerReconnect, &QTimer::timeout, this, &TFormMainLE::TimerReconnectTimer);
    connect(&notifier_, &TDesktopNotifier::Activated, this, &TFormMainLE::BringToFront);
}

void TFormMainLE::StartReconnecting(bool wasScanning)
{
    if (TimerReconnect.isActive()) {
        // Lost again before it was found: scanning comes back if it was on at all.
        scanBeforeLoss_ = scanBeforeLoss_ || wasScanning;
        return;
    }
    scanBeforeLoss_ = wasScanning;
    options_.LogEvent(QStringLiteral("Camera lost: ") + videoCam_->DriverName() +
                      QStringLiteral(" - ") + TAlarmLog::Stamp(IlxNow()));
    TimerReconnect.start();
}

/*!
 * \brief Every 5 s after a loss: the same camera (by name) is looked for and,
 * when it answers, the video goes on as from its command, scanning too if it
 * was on, and the loss message closes. Nothing is shown for a failed try.
 */
void TFormMainLE::TimerReconnectTimer()
{
    if (VideoActive() || !options_.Reconnect()) {
        // Back by the user's own hand, or the option was cleared meanwhile.
        TimerReconnect.stop();
        return;
    }
    if (!videoCam_->FindDriverAgain())
        return;
    try {
        MenuItemConnectClick();
    } catch (const EIlxError&) {
        return; // still not answering: the next try will tell
    }
    if (!VideoActive())
        return;
    TimerReconnect.stop();
    options_.LogEvent(QStringLiteral("Camera back: ") + videoCam_->DriverName() +
                      QStringLiteral(" - ") + TAlarmLog::Stamp(IlxNow()));
    if (lossBox_)
        lossBox_->done(QMessageBox::Ok);
    if (scanBeforeLoss_ && !scan_->Scanning())
        scan_->RxSpeedButtonAnalyseClick(&TimerReconnect);
    scanBeforeLoss_ = false;
}
