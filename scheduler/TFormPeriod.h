#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QPainter;
class QPushButton;
class QStatusBar;
class QTimer;
class TDrawGrid;
class TTimeCells;
struct TCellRect;

// The modal "Scanning period" editor: a 96 x 7 grid of quarter hours over the
// week. The user drags a block of cells and switches it on or off, then saves
// with OK or Apply. It edits a private copy of the schedule, loaded from the
// schedule file at creation; its callers reload their own copy afterwards.
class TFormPeriod : public QDialog
{
    Q_OBJECT

public:
    explicit TFormPeriod(const QString& schedulePath, QWidget* parent = nullptr);
    ~TFormPeriod() override;

    // Absent when the schedule file could not be opened at creation.
    const TTimeCells* WorkingSchedule() const { return cells_.get(); }
    bool Modified() const { return modified_; }

    void DrawGridPeriodDrawCell(QPainter& canvas, int column, int row, const TCellRect& rect,
                                bool selected);
    void DrawGridPeriodMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void FormMouseMove();
    void BitBtnActiveClick();
    void BitBtnDisactivateClick();
    void BitBtnOKClick();
    void BitBtnApplyClick();
    void BitBtnCancelClick();
    void TimerRefreshTimer();

    QLabel* LabelPeriodSelect = nullptr;
    QLabel* LabelNextChange = nullptr;
    QLabel* ImageLune0 = nullptr;
    QLabel* ImageSoleil = nullptr;
    QLabel* ImageLune1 = nullptr;
    std::array<QLabel*, 5> LabelT{};
    std::array<QLabel*, 7> LabelDay{}; // Label1..Label7
    TDrawGrid* DrawGridPeriod = nullptr;
    QPushButton* BitBtnActive = nullptr;
    QPushButton* BitBtnDisactivate = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnApply = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QStatusBar* StatusBar = nullptr;
    QTimer* TimerRefresh = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    void buildControls();
    void setCells(bool value);
    void save();
    void setModified(bool modified);
    void setHoverColumn(int column);
    void highlightDayLabel(int row);

    QString schedulePath_;
    std::unique_ptr<TTimeCells> cells_;
    bool modified_ = false;
    bool refreshing_ = false;
    std::uint8_t refreshCounter_ = 0;
    int hoverColumn_ = -1;
};

// Creates the editor over owner, shows it modally and destroys it.
void OpenScheduleEditor(QWidget* owner, const QString& schedulePath);
