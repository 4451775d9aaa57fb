#pragma once

#include <QString>

class TTimeCells;

// The texts the scheduler shows, built without any window so they can be
// checked against a pinned clock.

enum class DayNameTable
{
    French, // the main window's scheduler hint
    English // the schedule editor
};

// "Next programmed Stop: Lundi 18:00 (Today)", "Next programmed Scan: ...",
// "No stop programmed" or "No scan programmed", from the flag of the current
// quarter hour. " (Today)" compares weekdays only, so a change a week ahead on
// today's weekday carries it too. Raises EIlxError when a text cannot be built.
QString NextChangeText(const TTimeCells& cells, DayNameTable names);

// The time cell (0..95) and weekday (1 = Sunday) that hold IlxNow().
int CurrentTimeCell();
int CurrentWeekday();

// "Selected period: 08:00 - 18:00" for the columns leftColumn..rightColumn.
QString SelectionText(int leftColumn, int rightColumn);

// "Wednesday 10:15 - 10:30" for a grid cell, with " (Now)" on the current
// quarter hour; empty outside the week's 96 x 7 cells.
QString CellStatusText(int column, int weekday);
