#pragma once

#include <QString>

class QObject;

// What the scheduler needs of the main window that owns it: the scheduler
// button's state, the video and scanning state, the scanning command, and a
// place for the next-change text. The main window implements it.
class SchedulerHost
{
public:
    virtual ~SchedulerHost() = default;

    // The scheduler button's pressed state, which the menu check mark mirrors.
    virtual bool SchedulerActive() const = 0;
    virtual void SetSchedulerActive(bool on) = 0;

    virtual bool VideoActive() const = 0;
    virtual bool Scanning() const = 0;
    // Toggles scanning, as the scanning button does; sender is the scheduler timer.
    virtual void RunScanningCommand(QObject* sender) = 0;

    // The scheduler button's hint, shown where hints are shown.
    virtual void SetSchedulerHint(const QString& text) = 0;
    // Greys the scheduler menu, its Activate and Edit items and the button.
    virtual void DisableSchedulerCommands() = 0;
    // Brings the options window's "use scheduler" box in line, if it differs.
    virtual void MirrorSchedulerToOptions(bool on) = 0;
};
