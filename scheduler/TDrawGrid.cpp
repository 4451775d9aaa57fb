#include "TDrawGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

TDrawGrid::TDrawGrid(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDrawGrid::SetGrid(int columns, int rows, int fixedRows, int columnWidth, int rowHeight,
                        int lineWidth)
{
    columns_ = columns;
    rows_ = rows;
    fixedRows_ = fixedRows;
    columnWidth_ = columnWidth;
    rowHeight_ = rowHeight;
    lineWidth_ = lineWidth;
    selection_ = {0, fixedRows_, 0, fixedRows_};
    update();
}

TCellRect TDrawGrid::CellRect(int column, int row) const
{
    const int left = column * (columnWidth_ + lineWidth_);
    const int top = row * (rowHeight_ + lineWidth_);
    return {left, top, left + columnWidth_, top + rowHeight_};
}

bool TDrawGrid::MouseToCell(int x, int y, int& column, int& row) const
{
    column = -1;
    row = -1;
    if (x < 0 || y < 0)
        return false;
    // A grid line belongs to the cell on its left or above it.
    const int c = x / (columnWidth_ + lineWidth_);
    const int r = y / (rowHeight_ + lineWidth_);
    if (c >= columns_ || r >= rows_)
        return false;
    column = c;
    row = r;
    return true;
}

void TDrawGrid::SetSelection(const TGridRect& selection)
{
    const QRect old = selectionArea(selection_);
    selection_ = selection;
    update(old.united(selectionArea(selection_)));
}

void TDrawGrid::SetBackground(const QColor& colour)
{
    background_ = colour;
    update();
}

void TDrawGrid::InvalidateCell(int column, int row)
{
    const TCellRect r = CellRect(column, row);
    // Cells draw up to two pixels past their own edges.
    update(QRect(r.Left - 2, r.Top - 2, r.Right - r.Left + 4, r.Bottom - r.Top + 4));
}

void TDrawGrid::InvalidateRow(int row)
{
    const TCellRect r = CellRect(0, row);
    update(QRect(0, r.Top - 2, width(), r.Bottom - r.Top + 4));
}

QRect TDrawGrid::selectionArea(const TGridRect& selection) const
{
    const TCellRect a = CellRect(selection.Left, selection.Top);
    const TCellRect b = CellRect(selection.Right, selection.Bottom);
    return QRect(QPoint(a.Left - 2, a.Top - 2), QPoint(b.Right + 2, b.Bottom + 2));
}

void TDrawGrid::paintEvent(QPaintEvent* event)
{
    QPainter canvas(this);
    const QRect dirty = event->rect();
    canvas.fillRect(dirty, background_);
    // Row by row, left to right: a cell may overdraw its neighbours' edges,
    // and the later cell wins, as the drawing expects.
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            const TCellRect r = CellRect(column, row);
            const QRect area(QPoint(r.Left - 1, r.Top - 1), QPoint(r.Right + 2, r.Bottom + 2));
            if (!area.intersects(dirty))
                continue;
            const bool selected = row >= fixedRows_ && column >= selection_.Left &&
                                  column <= selection_.Right && row >= selection_.Top &&
                                  row <= selection_.Bottom;
            if (OnDrawCell) {
                canvas.save();
                OnDrawCell(canvas, column, row, r, selected);
                canvas.restore();
            }
        }
    }
}

void TDrawGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    int column = 0;
    int row = 0;
    const QPoint p = event->position().toPoint();
    if (!MouseToCell(p.x(), p.y(), column, row) || row < fixedRows_)
        return;
    anchorColumn_ = column;
    anchorRow_ = row;
    SetSelection({column, row, column, row});
    if (OnMouseMove)
        OnMouseMove(event->modifiers(), p.x(), p.y());
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && anchorColumn_ >= 0)
        dragTo(p.x(), p.y());
    if (OnMouseMove)
        OnMouseMove(event->modifiers(), p.x(), p.y());
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (anchorColumn_ >= 0) {
        const QPoint p = event->position().toPoint();
        dragTo(p.x(), p.y());
    }
    anchorColumn_ = -1;
    anchorRow_ = -1;
}

void TDrawGrid::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave();
}

void TDrawGrid::dragTo(int x, int y)
{
    // Past an edge the selection stops at the last body cell on that side.
    const int column = std::clamp(x / (columnWidth_ + lineWidth_), 0, columns_ - 1);
    const int row = std::clamp(y / (rowHeight_ + lineWidth_), fixedRows_, rows_ - 1);
    SetSelection({std::min(anchorColumn_, column), std::min(anchorRow_, row),
                  std::max(anchorColumn_, column), std::max(anchorRow_, row)});
}
