#pragma once

#include <QWidget>

#include <functional>

class QPainter;

// A cell rectangle with exclusive right and bottom edges, the coordinates the
// cell drawing is written in.
struct TCellRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// A block of selected cells, inclusive on all four sides.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// An owner-drawn grid of equal cells with fixed header rows: the owner draws
// every cell, the grid keeps the range selection that a left-button drag
// makes over the body cells. No scroll bars, no focus.
class TDrawGrid : public QWidget
{
    Q_OBJECT

public:
    using DrawCellHandler = std::function<void(QPainter& canvas, int column, int row,
                                               const TCellRect& rect, bool selected)>;
    using MouseMoveHandler = std::function<void(Qt::KeyboardModifiers shift, int x, int y)>;

    explicit TDrawGrid(QWidget* parent = nullptr);

    void SetGrid(int columns, int rows, int fixedRows, int columnWidth, int rowHeight,
                 int lineWidth);
    int ColCount() const { return columns_; }
    int RowCount() const { return rows_; }
    int FixedRows() const { return fixedRows_; }

    TCellRect CellRect(int column, int row) const;
    // The cell under a point of the grid, or false (and -1, -1) off the cells.
    bool MouseToCell(int x, int y, int& column, int& row) const;

    const TGridRect& Selection() const { return selection_; }
    void SetSelection(const TGridRect& selection);

    // Shown wherever no cell draws.
    void SetBackground(const QColor& colour);

    void InvalidateCell(int column, int row);
    void InvalidateRow(int row);

    DrawCellHandler OnDrawCell;
    MouseMoveHandler OnMouseMove;
    std::function<void()> OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void dragTo(int x, int y);
    QRect selectionArea(const TGridRect& selection) const;

    QColor background_{Qt::white};
    int columns_ = 5;
    int rows_ = 5;
    int fixedRows_ = 1;
    int columnWidth_ = 64;
    int rowHeight_ = 24;
    int lineWidth_ = 1;
    TGridRect selection_{0, 1, 0, 1};
    int anchorColumn_ = -1;
    int anchorRow_ = -1;
};
