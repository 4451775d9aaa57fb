#include "Clock.h"
#include "EIlxError.h"
#include "Horaires.h"
#include "ScheduleTestSupport.h"
#include "ScratchDir.h"
#include "TDrawGrid.h"
#include "TFormPeriod.h"
#include "TTimeCells.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int Sunday = 1, Monday = 2, Wednesday = 4, Friday = 6, Saturday = 7;

QPoint cellCentre(int column, int row)
{
    return {column * 7 + 3, row * 19 + 9};
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Drags over the grid from one cell to another, as a user's mouse would.
void drag(TDrawGrid* grid, int fromColumn, int fromRow, int toColumn, int toRow)
{
    sendMouse(grid, QEvent::MouseButtonPress, cellCentre(fromColumn, fromRow), Qt::LeftButton);
    sendMouse(grid, QEvent::MouseMove, cellCentre((fromColumn + toColumn) / 2, toRow),
              Qt::LeftButton);
    sendMouse(grid, QEvent::MouseMove, cellCentre(toColumn, toRow), Qt::LeftButton);
    sendMouse(grid, QEvent::MouseButtonRelease, cellCentre(toColumn, toRow), Qt::NoButton);
}

void hover(TDrawGrid* grid, int column, int row)
{
    sendMouse(grid, QEvent::MouseMove, cellCentre(column, row), Qt::NoButton);
}

int countOn(const TTimeCells& cells)
{
    int n = 0;
    for (int i = 0; i < TTimeCells::kCellCount; ++i)
        n += cells.AtPosition(i) ? 1 : 0;
    return n;
}

class FormPeriod : public ::testing::Test
{
protected:
    void SetUp() override { PinNow(WeekMoment(Monday, 7, 0)); }
    void TearDown() override { SetClockSource({}); }

    QString path() const { return dir.file("iLXLE_SCHEDULE.DAT"); }

    ScratchDir dir;
};

TEST_F(FormPeriod, OpensWithoutFileShowingScanningAllWeek)
{
    TFormPeriod form(path());
    ASSERT_NE(form.WorkingSchedule(), nullptr);
    EXPECT_EQ(countOn(*form.WorkingSchedule()), 672);
    EXPECT_EQ(form.windowTitle(), "Scanning period");
    EXPECT_EQ(form.LabelNextChange->text(), "No stop programmed");
    EXPECT_EQ(form.LabelPeriodSelect->text(), "Selected period:");
    EXPECT_FALSE(form.BitBtnApply->isEnabled());
    QStringList days;
    for (QLabel* label : form.LabelDay)
        days << label->text();
    EXPECT_EQ(days, (QStringList{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}));
    EXPECT_EQ(form.findChild<QLabel*>("Label4"), form.LabelDay[3]);
    // Every day and hour is read whole in the desktop's font.
    QList<QLabel*> labels(form.LabelDay.begin(), form.LabelDay.end());
    labels.append(QList<QLabel*>(form.LabelT.begin(), form.LabelT.end()));
    for (QLabel* label : labels) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
        EXPECT_TRUE(form.rect().contains(label->geometry())) << label->text().toStdString();
    }
    EXPECT_EQ(form.TimerRefresh->interval(), 1000);
    EXPECT_TRUE(form.TimerRefresh->isActive());
}

TEST_F(FormPeriod, DeactivatingWorkingHoursTurnsOff200CellsAndUpdatesTexts)
{
    TFormPeriod form(path());
    drag(form.DrawGridPeriod, 32, Monday, 71, Friday);
    EXPECT_EQ(form.LabelPeriodSelect->text(), "Selected period: 08:00 - 18:00");
    const TGridRect s = form.DrawGridPeriod->Selection();
    EXPECT_EQ(s.Left, 32);
    EXPECT_EQ(s.Right, 71);
    EXPECT_EQ(s.Top, Monday);
    EXPECT_EQ(s.Bottom, Friday);

    form.BitBtnDisactivate->click();
    const TTimeCells& cells = *form.WorkingSchedule();
    EXPECT_EQ(countOn(cells), 672 - 200);
    for (int w = Monday; w <= Friday; ++w) {
        EXPECT_TRUE(cells.Cell(31, w));
        EXPECT_FALSE(cells.Cell(32, w));
        EXPECT_FALSE(cells.Cell(71, w));
        EXPECT_TRUE(cells.Cell(72, w));
    }
    EXPECT_TRUE(form.Modified());
    EXPECT_TRUE(form.BitBtnApply->isEnabled());
    // The next change follows the unsaved edit at once.
    EXPECT_EQ(form.LabelNextChange->text(), "Next programmed Stop: Monday 08:00 (Today)");
    EXPECT_FALSE(QFile::exists(path()));

    form.BitBtnActiveClick();
    EXPECT_EQ(countOn(cells), 672);
    EXPECT_EQ(form.LabelNextChange->text(), "No stop programmed");
}

TEST_F(FormPeriod, DraggingBackwardsAndPastTheEdgeKeepsARectangleOfBodyCells)
{
    TFormPeriod form(path());
    TDrawGrid* grid = form.DrawGridPeriod;
    sendMouse(grid, QEvent::MouseButtonPress, cellCentre(95, Saturday), Qt::LeftButton);
    sendMouse(grid, QEvent::MouseMove, QPoint(-20, -30), Qt::LeftButton);
    sendMouse(grid, QEvent::MouseButtonRelease, QPoint(-20, -30), Qt::NoButton);
    const TGridRect s = grid->Selection();
    EXPECT_EQ(s.Left, 0);
    EXPECT_EQ(s.Top, Sunday); // the header row is never selected
    EXPECT_EQ(s.Right, 95);
    EXPECT_EQ(s.Bottom, Saturday);
    EXPECT_EQ(form.LabelPeriodSelect->text(), "Selected period: 00:00 - 24:00");

    drag(grid, 0, Wednesday, 0, Wednesday);
    EXPECT_EQ(form.LabelPeriodSelect->text(), "Selected period: 00:00 - 00:15");
    drag(grid, 95, Sunday, 90, Sunday);
    EXPECT_EQ(form.LabelPeriodSelect->text(), "Selected period: 22:30 - 24:00");
}

TEST_F(FormPeriod, PointerNamesTheCellAndItsDayAndMarksTheCurrentQuarter)
{
    PinNow(WeekMoment(Wednesday, 10, 20));
    TFormPeriod form(path());
    hover(form.DrawGridPeriod, 41, Wednesday);
    EXPECT_EQ(form.StatusBar->currentMessage(), "Wednesday 10:15 - 10:30 (Now)");
    const QColor highlightText = form.palette().color(QPalette::HighlightedText);
    const QColor windowText = form.palette().color(QPalette::WindowText);
    EXPECT_EQ(form.LabelDay[3]->palette().color(QPalette::WindowText), highlightText);
    EXPECT_EQ(form.LabelDay[2]->palette().color(QPalette::WindowText), windowText);

    hover(form.DrawGridPeriod, 42, Wednesday);
    EXPECT_EQ(form.StatusBar->currentMessage(), "Wednesday 10:30 - 10:45");
    hover(form.DrawGridPeriod, 95, Saturday);
    EXPECT_EQ(form.StatusBar->currentMessage(), "Saturday 23:45 - 24:00");
    hover(form.DrawGridPeriod, 10, 0); // the header row names no cell
    EXPECT_EQ(form.StatusBar->currentMessage(), "");

    hover(form.DrawGridPeriod, 41, Wednesday);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form.DrawGridPeriod, &leave);
    EXPECT_EQ(form.StatusBar->currentMessage(), "");
    for (QLabel* label : form.LabelDay)
        EXPECT_EQ(label->palette().color(QPalette::WindowText), windowText);
}

TEST_F(FormPeriod, ApplyThenCancelKeepsOnlyTheAppliedEdits)
{
    TFormPeriod form(path());
    drag(form.DrawGridPeriod, 0, Sunday, 95, Sunday);
    form.BitBtnDisactivate->click();
    form.BitBtnApply->click();
    EXPECT_FALSE(form.Modified());
    EXPECT_FALSE(form.BitBtnApply->isEnabled());
    QByteArray bytes = dir.read("iLXLE_SCHEDULE.DAT");
    ASSERT_EQ(bytes.size(), 672);
    EXPECT_EQ(bytes.left(96), QByteArray(96, '\0'));
    EXPECT_EQ(bytes.mid(96), QByteArray(576, '\1'));

    drag(form.DrawGridPeriod, 0, Saturday, 95, Saturday);
    form.BitBtnDisactivate->click();
    form.BitBtnCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(dir.read("iLXLE_SCHEDULE.DAT"), bytes);
    // The working copy went back to the file as well.
    EXPECT_EQ(countOn(*form.WorkingSchedule()), 576);
    EXPECT_FALSE(form.Modified());
}

TEST_F(FormPeriod, OkSavesEditsAndCancelWithoutEditsLeavesTheFileAlone)
{
    {
        TFormPeriod form(path());
        form.BitBtnOK->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_FALSE(QFile::exists(path())) << "nothing was edited, nothing is written";
    }
    QByteArray odd(672, '\1');
    odd[5] = 7; // a byte only another writer would leave
    dir.write("iLXLE_SCHEDULE.DAT", odd);
    const QDateTime written = QFileInfo(path()).lastModified();
    {
        TFormPeriod form(path());
        form.BitBtnCancel->click();
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    EXPECT_EQ(dir.read("iLXLE_SCHEDULE.DAT"), odd);
    EXPECT_EQ(QFileInfo(path()).lastModified(), written);
    {
        TFormPeriod form(path());
        drag(form.DrawGridPeriod, 4, Monday, 7, Monday);
        form.BitBtnDisactivate->click();
        form.BitBtnOK->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    const QByteArray saved = dir.read("iLXLE_SCHEDULE.DAT");
    ASSERT_EQ(saved.size(), 672);
    EXPECT_EQ(saved.count('\0'), 4);
    EXPECT_EQ(saved.mid(96 + 4, 4), QByteArray(4, '\0'));
    EXPECT_EQ(saved[5], 1);
}

TEST_F(FormPeriod, UnopenableFileLeavesAnEditorThatSavesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("iLXLE_SCHEDULE.DAT"));
    TFormPeriod form(path());
    EXPECT_EQ(form.WorkingSchedule(), nullptr);
    EXPECT_EQ(form.LabelNextChange->text(), "Next change:");
    form.BitBtnActive->click();
    EXPECT_TRUE(form.BitBtnApply->isEnabled());
    form.BitBtnApply->click();
    form.BitBtnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(FormPeriod, UncreatableFileRaisesAndKeepsTheEditsAndTheDialog)
{
    const QString nowhere = dir.file("gone/iLXLE_SCHEDULE.DAT");
    TFormPeriod form(nowhere);
    form.show();
    form.BitBtnDisactivateClick();
    EXPECT_THROW(form.BitBtnOKClick(), EIlxError);
    EXPECT_TRUE(form.Modified());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(FormPeriod, EscDeactivatesAndEnterPressesOk)
{
    TFormPeriod form(path());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible()) << "Esc must not close the editor";
    EXPECT_FALSE(form.WorkingSchedule()->Cell(0, Sunday));
    EXPECT_TRUE(form.Modified());

    form.BitBtnOK->setFocus();
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(dir.read("iLXLE_SCHEDULE.DAT").at(0), 0);
}

TEST_F(FormPeriod, ShortFileWarnsOnOpeningAndShowsWhatWasRead)
{
    dir.write("iLXLE_SCHEDULE.DAT", QByteArray(96, '\0'));
    MessageBoxRecorder boxes;
    TFormPeriod form(path());
    EXPECT_EQ(boxes.texts(), QStringList{"Invalid File \"Scheduler\" !"});
    EXPECT_EQ(countOn(*form.WorkingSchedule()), 576);
    EXPECT_EQ(form.LabelNextChange->text(), "Next programmed Stop: Sunday 00:00");
}

// Pixels of the drawn grid, in grid coordinates.
class GridPicture
{
public:
    explicit GridPicture(TFormPeriod& form) : image_(form.DrawGridPeriod->grab().toImage()) {}
    QColor at(int x, int y) const { return image_.pixelColor(x, y); }
    QColor barOf(int column, int row) const { return at(column * 7 + 3, row * 19 + 8); }
    QColor markerSpot(int column, int row) const { return at(column * 7 + 4, row * 19 + 16); }

private:
    QImage image_;
};

TEST_F(FormPeriod, GridShowsBarsHourLinesWeekendAndTheNowMarker)
{
    PinNow(WeekMoment(Monday, 10, 20)); // column 41
    TTimeCells cells;
    cells.SetCell(50, Monday, false);
    cells.SetCell(50, Sunday, false);
    ASSERT_TRUE(SaveSchedule(cells, path()));
    TFormPeriod form(path());
    drag(form.DrawGridPeriod, 60, Wednesday, 61, Wednesday);
    const GridPicture picture(form);

    const QColor blue(0, 0, 255), red(255, 0, 0), white(255, 255, 255), weekend(0xF0, 0xF0, 0xF0);
    EXPECT_EQ(picture.barOf(49, Monday), blue);
    EXPECT_EQ(picture.barOf(50, Monday), white);
    EXPECT_EQ(picture.barOf(50, Sunday), weekend);
    EXPECT_EQ(picture.barOf(60, Wednesday), blue); // selected cells keep their bars
    EXPECT_EQ(picture.at(60 * 7 + 3, Wednesday * 19 + 2),
              form.palette().color(QPalette::Highlight));
    EXPECT_EQ(picture.at(50 * 7 + 3, Monday * 19 + 2), white);
    // Red hour lines on whole-hour columns, grey cell borders elsewhere.
    EXPECT_EQ(picture.at(48 * 7, Monday * 19 + 9), red);
    EXPECT_EQ(picture.at(49 * 7, Monday * 19 + 9), QColor(0x80, 0x80, 0x80));
    // The current quarter hour carries the marker, its neighbours do not.
    EXPECT_EQ(picture.markerSpot(41, Monday), red);
    EXPECT_NE(picture.markerSpot(40, Monday), red);
    EXPECT_NE(picture.markerSpot(41, Sunday), red);
    // Header ticks: full at the hour, half at the half hour, short at quarters.
    EXPECT_EQ(picture.at(48 * 7, 2), Qt::black);
    EXPECT_NE(picture.at(50 * 7, 8), Qt::black);
    EXPECT_EQ(picture.at(50 * 7, 12), Qt::black);
    EXPECT_NE(picture.at(49 * 7, 12), Qt::black);
    EXPECT_EQ(picture.at(49 * 7, 16), Qt::black);
}

TEST_F(FormPeriod, RefreshRedrawsTheGridOnEvery16thTick)
{
    TFormPeriod form(path());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int paints = 0;
    struct PaintCounter : QObject
    {
        int* count;
        explicit PaintCounter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    form.DrawGridPeriod->installEventFilter(&counter);
    QApplication::processEvents();
    paints = 0;
    // The tick at creation was the first; fourteen more make fifteen, no redraw.
    for (int i = 0; i < 14; ++i) {
        form.TimerRefreshTimer();
        QApplication::processEvents();
    }
    EXPECT_EQ(paints, 0);
    form.TimerRefreshTimer();
    QApplication::processEvents();
    EXPECT_EQ(paints, 1);
}

} // namespace
