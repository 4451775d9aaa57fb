#pragma once

#include "TClipRecorder.h"
#include "TScanHost.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QWidget;
class QObject;
class TFormOptions;
class THelpWindow;

// The main window's one door to the options window, the live holder of the
// user's settings. When the window cannot be made, the settings are read once
// from the settings files instead, so scanning and pictures still follow them.
class TOptionsLink
{
public:
    TOptionsLink();
    ~TOptionsLink();
    TOptionsLink(const TOptionsLink&) = delete;
    TOptionsLink& operator=(const TOptionsLink&) = delete;

    // Creates the hidden options window; false when it could not be made.
    bool Create(QWidget* mainWindow, THelpWindow* help, const QString& schedulePath);
    bool Exists() const;
    TFormOptions* Window() const;

    TScanOptions ScanOptions() const;
    QString PicturesFolder() const;
    QString Prefix() const;
    bool DateStamp() const;
    int Quality() const;

    bool AlarmChecked() const;
    void ToggleAlarm();
    bool SoundBusy() const;
    void StartSoundAlarm(QObject* sender, bool loop, const QString& file);

    // "Start scan after" is checked: scanning starts by itself.
    bool AutoStart() const;
    bool AutoStartSettled() const;
    void SetAutoStartSettled();
    bool AutoStartCountdown(QString& text);

    // The "Watch" page.
    bool Reconnect() const;
    int KeepDays() const;
    int KeepMB() const;
    // Called after OK or "&Apply" saved the options (never without the window).
    void SetOnSaved(std::function<void()> saved);
    bool NotifyDesktop() const;
    TClipSettings ClipSettings() const;
    // One dated line of the alarm log (nothing while logging is off).
    void LogEvent(const QString& line);

    void SetDriverName(const QString& name);
    void MirrorScheduler(bool on);
    void Show();
    void Hide();
    void BringToFront();

private:
    struct Fallback;
    std::unique_ptr<TFormOptions> window_;
    std::unique_ptr<Fallback> fallback_;
};
