#include "TTimeCells.h"

#include "EIlxError.h"

namespace {

int checkedPosition(int timeCell, int weekday)
{
    if (timeCell < 0 || timeCell >= TTimeCells::kCellsPerDay || weekday < 1 ||
        weekday > TTimeCells::kDays)
        throw EIlxError(QStringLiteral("Schedule cell out of range: time cell %1, weekday %2")
                            .arg(timeCell)
                            .arg(weekday));
    return (weekday - 1) * TTimeCells::kCellsPerDay + timeCell;
}

int checkedPosition(int position)
{
    if (position < 0 || position >= TTimeCells::kCellCount)
        throw EIlxError(QStringLiteral("Schedule position out of range: %1").arg(position));
    return position;
}

} // namespace

/*!
 * \brief A new schedule wants scanning at all times, so a missing schedule
 * file never keeps the scheduler from starting a scan.
 */
TTimeCells::TTimeCells(QObject* owner) : QObject(owner)
{
    Fill(true);
}

void TTimeCells::Fill(bool value)
{
    cells_.fill(value);
}

bool TTimeCells::Cell(int timeCell, int weekday) const
{
    return cells_[checkedPosition(timeCell, weekday)];
}

void TTimeCells::SetCell(int timeCell, int weekday, bool value)
{
    cells_[checkedPosition(timeCell, weekday)] = value;
}

bool TTimeCells::AtPosition(int position) const
{
    return cells_[checkedPosition(position)];
}

void TTimeCells::SetAtPosition(int position, bool value)
{
    cells_[checkedPosition(position)] = value;
}
