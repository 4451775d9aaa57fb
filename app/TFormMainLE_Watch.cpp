// The main window watching on its own: a camera lost, or missing at start,
// tried again until it comes back.
#include "TFormMainLE.h"

#include "Clock.h"
#include "EIlxError.h"
#include "TAlarmLog.h"
#include "TScanController.h"
#include "TVideoCam.h"

#include <QKeyEvent>
#include <QMessageBox>

void TFormMainLE::CreateReconnection()
{
    TimerReconnect.setObjectName(QStringLiteral("TimerReconnect"));
    TimerReconnect.setInterval(TCameraWait::kIntervalMs);
    connect(&TimerReconnect, &QTimer::timeout, this, &TFormMainLE::TimerReconnectTimer);
    connect(&notifier_, &TDesktopNotifier::Activated, this, &TFormMainLE::BringToFront);
}

void TFormMainLE::StartWaiting(TCameraWait::Cause cause, bool wasScanning, const QString& why)
{
    if (wait_.Active()) {
        // Lost again before it was found: still the one wait, the one log line.
        wait_.AlsoScanning(wasScanning);
    } else {
        const QString camera = chosenDriver_.isEmpty() ? videoCam_->DriverName() : chosenDriver_;
        wait_.Start(camera, cause, IlxNow(), wasScanning);
        options_.LogEvent(wait_.StartLine(TAlarmLog::Stamp(IlxNow())));
    }
    wait_.SetLastTry(why);
    ShowWaiting();
    TimerReconnect.start();
}

void TFormMainLE::ShowWaiting()
{
    if (wait_.Active())
        SetInfoText(wait_.InfoText(IlxNow()));
}

void TFormMainLE::StopWaiting()
{
    TimerReconnect.stop();
    if (!wait_.Active())
        return;
    wait_.Stop();
    if (videoRequest_ == TVideoRequest::Reconnect)
        CancelVideoRequest();
    SetInfoText(QString());
    if (lossBox_)
        lossBox_->done(QMessageBox::Ok);
}

/*!
 * \brief Every 5 s while a camera is waited for: the chosen camera is looked
 * for by name and opened away from the window; nothing is shown for a failed
 * try but the reason on the information line.
 */
void TFormMainLE::TimerReconnectTimer()
{
    if (!wait_.Active() || VideoActive() || !options_.Reconnect()) {
        // Back by the user's own hand, or the option was cleared meanwhile.
        StopWaiting();
        return;
    }
    if (videoRequest_ != TVideoRequest::None)
        return; // a try is still under way
    if (videoCam_->DriverName() != wait_.Camera())
        videoCam_->SetDriverName(wait_.Camera());
    ShowWaiting(); // the line's "since" keeps its date once the day is past
    RequestVideo(TVideoRequest::Reconnect);
}

/*!
 * \brief The waited-for camera answered: the video goes on as from its
 * command, scanning too if it was on, and the loss message closes.
 */
void TFormMainLE::CameraBack()
{
    const bool firstConnect = formatSetupPending_;
    // Read before the video goes on: its stability wait lets events run, and
    // no try may run meanwhile (the timer would take the video on for the
    // user's own hand and end the wait).
    const bool scanBefore = wait_.ScanningBefore();
    TimerReconnect.stop();
    try {
        SwitchVideo();
    } catch (const EIlxError& e) {
        wait_.SetLastTry(e.message().section(QLatin1Char('\n'), -1));
        ShowWaiting();
        TimerReconnect.start();
        return; // the next try will tell
    }
    if (!VideoActive()) {
        // Lost again at once (its loss has started the timer again), or not taken.
        ShowWaiting();
        if (wait_.Active() && !TimerReconnect.isActive())
            TimerReconnect.start();
        return;
    }
    options_.LogEvent(wait_.BackLine(TAlarmLog::Stamp(IlxNow())));
    StopWaiting();
    if (firstConnect)
        scan_->RxSpeedButtonPauseClick(false); // the start-up's play or pause
    if (scanBefore && !scan_->Scanning())
        scan_->RxSpeedButtonAnalyseClick(&TimerReconnect);
}

bool TFormMainLE::QuitFromLossMessage(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !lossBox_)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!widget || widget->window() != lossBox_ || key->key() != Qt::Key_Q ||
        !(key->modifiers() & Qt::ControlModifier))
        return false;
    // The message answers OK, then the window closes as from its menu.
    lossBox_->done(QMessageBox::Ok);
    QTimer::singleShot(0, this, &QWidget::close);
    return true;
}
