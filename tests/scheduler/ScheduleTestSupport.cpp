#include "ScheduleTestSupport.h"

#include "Clock.h"
#include "TTimeCells.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

QDateTime WeekMoment(int weekday, int hour, int minute, int second)
{
    return QDateTime(QDate(2026, 12, 6).addDays(weekday - 1), QTime(hour, minute, second));
}

void PinNow(const QDateTime& moment)
{
    SetClockSource([moment] { return moment; });
}

MessageBoxRecorder::MessageBoxRecorder()
{
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts_ << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer_.start();
}

void SetSpan(TTimeCells& cells, int weekday, int fromCell, int toCell, bool value)
{
    for (int k = fromCell; k <= toCell; ++k)
        cells.SetCell(k, weekday, value);
}
