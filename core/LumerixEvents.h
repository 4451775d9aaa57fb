#pragma once

#include <QEvent>

// The program's three registered messages, as event types registered once per
// process and shared by every layer. They travel as TMessageEvent.
//  - WM_Lumerix: bring the running copy's main (or options) window to the front.
//  - WM_LumerixUpdate: posted by the options window; the main window redraws
//    its status bar.
//  - WM_LumerixSchedule: posted by the options window; WParam 1 = the schedule
//    file changed, LParam 1 = scheduler on, 0 = off.
QEvent::Type WM_Lumerix();
QEvent::Type WM_LumerixUpdate();
QEvent::Type WM_LumerixSchedule();

// Registers all three now (process start), so their numbers are fixed before
// any window exists.
void RegisterLumerixEvents();
