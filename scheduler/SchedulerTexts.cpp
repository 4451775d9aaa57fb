#include "SchedulerTexts.h"

#include "Clock.h"
#include "Horaires.h"
#include "TTimeCells.h"
#include "TimeTexts.h"

namespace {

constexpr int kSecondsPerCell = 15 * 60;

QString dayName(DayNameTable names, int index)
{
    return names == DayNameTable::French ? FrenchDayName(index) : EnglishDayName(index);
}

} // namespace

QString NextChangeText(const TTimeCells& cells, DayNameTable names)
{
    int timeCell = 0;
    int weekday = 0;
    bool flag = false;
    GetCurrentCell(cells, timeCell, weekday, flag);

    QTime start;
    int dayIndex = 0;
    if (!FindNextChange(cells, start, dayIndex))
        return flag ? QStringLiteral("No stop programmed") : QStringLiteral("No scan programmed");

    QString text =
        flag ? QStringLiteral("Next programmed Stop: ") : QStringLiteral("Next programmed Scan: ");
    text += dayName(names, dayIndex) + u' ' + LongTimeText(start).left(5);
    if (CurrentWeekday() == dayIndex + 1)
        text += QStringLiteral(" (Today)");
    return text;
}

int CurrentTimeCell()
{
    return TimeToSeconds(IlxNow()) / 60 / 15;
}

int CurrentWeekday()
{
    return IlxNow().date().dayOfWeek() % 7 + 1;
}

QString SelectionText(int leftColumn, int rightColumn)
{
    return QStringLiteral("Selected period: ") + CellTimeText(leftColumn * kSecondsPerCell) +
           QStringLiteral(" - ") + CellTimeText((rightColumn + 1) * kSecondsPerCell);
}

QString CellStatusText(int column, int weekday)
{
    if (column < 0 || column >= TTimeCells::kCellsPerDay || weekday < 1 ||
        weekday > TTimeCells::kDays)
        return {};
    QString text = EnglishDayName(weekday - 1) + u' ' + CellTimeText(column * kSecondsPerCell) +
                   QStringLiteral(" - ") + CellTimeText((column + 1) * kSecondsPerCell);
    if (column == CurrentTimeCell() && weekday == CurrentWeekday())
        text += QStringLiteral(" (Now)");
    return text;
}
