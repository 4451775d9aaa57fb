#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTimer>

#include <ostream>

class TTimeCells;

// A fixed "now" for the scheduler, given as a weekday of the week of Sunday
// 6 December 2026 (1 = Sunday .. 7 = Saturday) and a time of day.
QDateTime WeekMoment(int weekday, int hour, int minute, int second = 0);
void PinNow(const QDateTime& moment);

// Answers every message box that opens while it lives with OK and keeps its
// text, so a test can count warnings.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    const QStringList& texts() const { return texts_; }

private:
    QTimer timer_;
    QStringList texts_;
};

// Sets [fromCell, toCell] of one weekday to value.
void SetSpan(TTimeCells& cells, int weekday, int fromCell, int toCell, bool value);

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
