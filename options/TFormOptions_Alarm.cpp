// The options window's alarm sound: one sound thread at a time and the
// stop-alarm window. All of it runs on the user-interface thread.
#include "TFormOptions.h"

#include "LumerixEvents.h"
#include "ShowMessageBox.h"
#include "SoundOutput.h"
#include "TFilenameEdit.h"
#include "TFormStopAlarm.h"
#include "TFormWaitClose.h"
#include "TSoundThread.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QStyle>

void TFormOptions::SetSoundOutput(std::unique_ptr<SoundOutput> output)
{
    if (soundThread_ || !output)
        return;
    soundOutput_ = std::move(output);
}

void TFormOptions::StartSoundAlarm(QObject* /*sender*/, bool test, bool loop,
                                   const QString& soundFile)
{
    if (soundThread_)
        return;
    // A failure creating the thread goes to the caller, with nothing left over.
    soundThread_ = std::make_unique<TSoundThread>(this, *soundOutput_, *alarmLog_);

    try {
        SetSoundBusy(true);
        BitBtnTestSOUND->setText(QStringLiteral("Sto&p"));
        BitBtnTestSOUND->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
        // A single play cannot be cut short from here.
        BitBtnTestSOUND->setEnabled(CheckBoxSoundLoop->isChecked());
        CheckBoxBip->setEnabled(false);
        FilenameEditSound->setEnabled(false);
        CheckBoxSoundLoop->setEnabled(false);
        QCoreApplication::processEvents();

        // Re-entered handlers above may have released the run already.
        if (!soundThread_)
            return;
        soundThread_->SetTest(test);
        soundThread_->SetLog(CheckBoxLogFile->isChecked());
        soundThread_->SetSoundFile(soundFile);
        soundThread_->SetLoop(loop);
        QCoreApplication::processEvents();
        if (!soundThread_)
            return;
        soundThread_->start();
    } catch (const std::exception&) {
        // The thread never started: it goes without waiting or logging.
        soundThread_.reset();
        RestoreSoundControls();
        SetSoundBusy(false);
        ShowMessageBox(this, QStringLiteral("Error create thread\n\"Sound Alarm\" !"), MkWarning,
                       MbOk);
    }
}

void TFormOptions::RequestSoundStop()
{
    if (!soundThread_)
        return;
    // Clearing the loop flag wakes the thread's wait; it then stops the sound
    // and posts the sound-finished event.
    soundThread_->SetLoop(false);
    QCoreApplication::processEvents();
}

void TFormOptions::ReleaseSoundAlarm()
{
    if (soundThread_) {
        soundThread_->wait();
        // Freeing the thread writes the closing lines of the log.
        soundThread_.reset();
    }
    RestoreSoundControls();
    SetSoundBusy(false);
}

void TFormOptions::SetSoundBusy(bool busy)
{
    if (busy == soundBusy_)
        return;
    soundBusy_ = busy;
    if (stopAlarm_) {
        if (busy && CheckBoxSoundLoop->isChecked())
            stopAlarm_->ShowOnTop();
        else if (!busy)
            // Hidden whatever the loop box says now: a reload during the run
            // may have changed it, and the window must not outlive the sound.
            stopAlarm_->hide();
    }
    PostToApp(WM_LumerixUpdate(), 0, 0);
    QCoreApplication::processEvents();
}

void TFormOptions::BitBtnTestSOUNDClick()
{
    try {
        if (soundBusy_)
            RequestSoundStop();
        else
            StartSoundAlarm(BitBtnTestSOUND, true, CheckBoxSoundLoop->isChecked(),
                            FilenameEditSound->Text());
    } catch (const std::exception&) {
        // A test that cannot start is not worth a message of its own.
    }
}

void TFormOptions::RestoreSoundControls()
{
    BitBtnTestSOUND->setText(QStringLiteral("Pla&y"));
    BitBtnTestSOUND->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    CheckBoxBip->setEnabled(true);
    UpdateSoundControls();
}

void TFormOptions::UpdateSoundControls()
{
    // While a sound plays the controls keep the playing state; the idle rule
    // is applied again when the run is released.
    if (soundThread_)
        return;
    const bool on = CheckBoxBip->isChecked();
    BitBtnTestSOUND->setEnabled(on);
    FilenameEditSound->setEnabled(on);
    CheckBoxSoundLoop->setEnabled(on);
}

bool TFormOptions::FormCloseQuery()
{
    // Tells the user why the window may take a moment to go; it is gone
    // again as soon as the running sound has stopped.
    TFormWaitClose wait;
    wait.ShowNow();
    if (!soundThread_)
        return true;
    RequestSoundStop();
    // Events keep running meanwhile: the finished event may release the run
    // before the thread is seen to end here.
    while (soundThread_ && !soundThread_->wait(10))
        QCoreApplication::processEvents();
    ReleaseSoundAlarm();
    return true;
}
