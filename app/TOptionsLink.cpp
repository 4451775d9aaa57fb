#include "TOptionsLink.h"

#include "Clock.h"
#include "DataPaths.h"
#include "EIlxError.h"
#include "OptionsSettings.h"
#include "ShowMessageBox.h"
#include "TAlarmLog.h"
#include "THelpWindow.h"

#include <QDialog>

#include "TDirectoryEdit.h"
#include "TFilenameEdit.h"
#include "TFormOptions.h"
#include "TFormPeriod.h"
#include "TRadioGroup.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

struct TOptionsLink::Fallback
{
    TOptionsSettings Settings;
    std::uint32_t StartTick = 0;
    bool Settled = false;
};

TOptionsLink::TOptionsLink() : fallback_(std::make_unique<Fallback>())
{
    fallback_->StartTick = IlxTickCount();
}

TOptionsLink::~TOptionsLink() = default;

bool TOptionsLink::Create(QWidget* mainWindow, THelpWindow* help, const QString& schedulePath)
{
    try {
        window_ = std::make_unique<TFormOptions>(mainWindow, mainWindow);
        window_->hide();
    } catch (const EIlxError&) {
        window_.reset();
        ShowMessageBox(mainWindow, QStringLiteral("Not enough memory for options !"), MkWarning,
                       MbOk);
    }
    if (window_) {
        window_->SetHelpHandler([help](TFormOptions::HelpAction action, int topic, QPoint at) {
            switch (action) {
            case TFormOptions::HelpAction::Popup:
                help->ShowPopup(topic, at);
                break;
            case TFormOptions::HelpAction::Topic:
                help->ShowTopic(topic);
                break;
            case TFormOptions::HelpAction::Contents:
                help->ShowContents();
                break;
            case TFormOptions::HelpAction::Quit:
                help->close();
                break;
            }
        });
        window_->SetScheduleEditor(
            [schedulePath](QWidget* owner) { OpenScheduleEditor(owner, schedulePath); });
        return true;
    }
    fallback_->Settings = ReadOptions();
    return false;
}

bool TOptionsLink::Exists() const
{
    return window_ != nullptr;
}

TFormOptions* TOptionsLink::Window() const
{
    return window_.get();
}

TScanOptions TOptionsLink::ScanOptions() const
{
    TScanOptions o;
    if (window_) {
        o.Sensitivity = window_->SpinEditLevel->value();
        o.Differences = window_->SpinEditDelta->value();
        o.ResolutionIndex = window_->RadioGroupStep->ItemIndex();
        o.FrequencyIndex = window_->RadioGroupFrequence->ItemIndex();
        o.AutoStart = window_->CheckBoxAuto->isChecked();
        o.PauseOnScanning = window_->CheckBoxPause->isChecked();
        o.Alarm = window_->CheckBoxBip->isChecked();
        o.SoundFile = window_->FilenameEditSound->Text();
        o.SoundLoop = window_->CheckBoxSoundLoop->isChecked();
        o.IgnoreLight = window_->CheckBoxIgnoreLight->isChecked();
        o.IgnoreAreas = window_->IgnoreAreas();
        return o;
    }
    const TOptionsSettings& s = fallback_->Settings;
    o.Sensitivity = s.Sensibility;
    o.Differences = s.Delta;
    o.ResolutionIndex = s.Sharpness;
    o.FrequencyIndex = s.Frequency;
    o.AutoStart = s.Auto;
    o.PauseOnScanning = s.Pause;
    // Without the options window there is no sound worker to play an alarm.
    o.Alarm = false;
    o.SoundFile = s.Wav;
    o.SoundLoop = s.Loop;
    o.IgnoreLight = s.IgnoreLight;
    o.IgnoreAreas = s.IgnoreAreas;
    return o;
}

QString TOptionsLink::PicturesFolder() const
{
    if (window_)
        return window_->DirectoryEditDirImage->Text();
    return fallback_->Settings.Folder.isEmpty() ? DataPaths().CapturesFolder()
                                                : fallback_->Settings.Folder;
}

QString TOptionsLink::Prefix() const
{
    if (window_)
        return window_->LabeledEditPrefix->text();
    return fallback_->Settings.Prefix;
}

bool TOptionsLink::DateStamp() const
{
    if (window_)
        return window_->CheckBoxDate->isChecked();
    return fallback_->Settings.Date;
}

int TOptionsLink::Quality() const
{
    if (window_)
        return window_->TrackBarCompress->value();
    return fallback_->Settings.Quality;
}

bool TOptionsLink::AlarmChecked() const
{
    if (window_)
        return window_->CheckBoxBip->isChecked();
    return false;
}

void TOptionsLink::ToggleAlarm()
{
    if (!window_)
        return;
    // The box is greyed while a sound plays, yet the status bar's icon still
    // switches the alarm for the next detections: set it from here, which runs
    // its handler as a click does.
    QCheckBox* box = window_->CheckBoxBip;
    if (box->isEnabled())
        box->click();
    else
        box->setChecked(!box->isChecked());
}

bool TOptionsLink::SoundBusy() const
{
    if (window_)
        return window_->SoundBusy();
    return false;
}

void TOptionsLink::StartSoundAlarm(QObject* sender, bool loop, const QString& file)
{
    if (window_)
        window_->StartSoundAlarm(sender, false, loop, file);
}

bool TOptionsLink::AutoStartSettled() const
{
    if (window_)
        return window_->AutoStartSettled;
    return fallback_->Settled;
}

void TOptionsLink::SetAutoStartSettled()
{
    if (window_)
        window_->AutoStartSettled = true;
    fallback_->Settled = true;
}

bool TOptionsLink::AutoStartCountdown(QString& text)
{
    if (window_)
        return window_->AutoStartCountdown(text);
    const qint64 due = qint64(fallback_->Settings.Delay) * 60000;
    const qint64 elapsed = qint64(std::uint32_t(IlxTickCount() - fallback_->StartTick));
    if (elapsed >= due)
        return true;
    text = QStringLiteral("Scanning starts in %1 s").arg((due - elapsed + 999) / 1000);
    return false;
}

bool TOptionsLink::AutoStart() const
{
    return window_ ? window_->CheckBoxAuto->isChecked() : fallback_->Settings.Auto;
}

bool TOptionsLink::Reconnect() const
{
    return window_ ? window_->CheckBoxReconnect->isChecked() : fallback_->Settings.Reconnect;
}

int TOptionsLink::KeepDays() const
{
    return window_ ? window_->SpinEditKeepDays->value() : fallback_->Settings.KeepDays;
}

bool TOptionsLink::NotifyDesktop() const
{
    return window_ ? window_->CheckBoxNotify->isChecked() : fallback_->Settings.Notify;
}

TClipSettings TOptionsLink::ClipSettings() const
{
    if (!window_)
        return {fallback_->Settings.Clip, fallback_->Settings.ClipBefore,
                fallback_->Settings.ClipAfter};
    return {window_->CheckBoxClip->isChecked(), window_->SpinEditClipBefore->value(),
            window_->SpinEditClipAfter->value()};
}

int TOptionsLink::KeepMB() const
{
    return window_ ? window_->SpinEditKeepMB->value() : fallback_->Settings.KeepMB;
}

void TOptionsLink::SetOnSaved(std::function<void()> saved)
{
    if (window_)
        window_->OnSettingsSaved = std::move(saved);
}

void TOptionsLink::LogEvent(const QString& line)
{
    // Without the options window there is no sound run to share the log with.
    if (window_) {
        window_->LogEvent(line);
    } else if (fallback_->Settings.Log) {
        TAlarmLog(DataPaths().SoundLog).AppendEvent(line);
    }
}

void TOptionsLink::SetDriverName(const QString& name)
{
    if (window_)
        window_->SetDriverName(name);
}

void TOptionsLink::MirrorScheduler(bool on)
{
    if (window_ && window_->CheckBoxScheduler->isChecked() != on)
        window_->CheckBoxScheduler->setChecked(on);
}

void TOptionsLink::Show()
{
    if (!window_)
        return;
    if (window_->isHidden())
        window_->show();
    window_->raise();
    window_->activateWindow();
}

void TOptionsLink::Hide()
{
    if (window_)
        window_->hide();
}

void TOptionsLink::BringToFront()
{
    if (window_)
        window_->BringToFront();
}
