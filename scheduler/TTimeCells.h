#pragma once

#include <QObject>

#include <array>

// The weekly schedule: 96 quarter-hour cells for each of the 7 weekdays, one
// "scanning wanted" flag each. Weekdays are numbered 1 = Sunday .. 7 = Saturday;
// time cell k covers k * 15 minutes after midnight to 15 minutes later.
class TTimeCells : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCellsPerDay = 96;
    static constexpr int kDays = 7;
    static constexpr int kCellCount = kCellsPerDay * kDays;

    explicit TTimeCells(QObject* owner = nullptr);

    void Fill(bool value);

    // Range-checked: a time cell outside 0..95 or a weekday outside 1..7 raises EIlxError.
    bool Cell(int timeCell, int weekday) const;
    void SetCell(int timeCell, int weekday, bool value);

    // The week as one sequence, position = (weekday - 1) * 96 + time cell,
    // which is also the byte order of the schedule file.
    bool AtPosition(int position) const;
    void SetAtPosition(int position, bool value);

    bool operator==(const TTimeCells& other) const { return cells_ == other.cells_; }

private:
    std::array<bool, kCellCount> cells_{};
};
