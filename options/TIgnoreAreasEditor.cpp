#include "TIgnoreAreasEditor.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kRefreshMs = 500;

} // namespace

TIgnoreAreasEditor::TIgnoreAreasEditor(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("IgnoreAreasEditor"));
    setCursor(Qt::CrossCursor);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &TIgnoreAreasEditor::refreshPicture);
}

void TIgnoreAreasEditor::setMask(const ::IgnoreMask& mask)
{
    if (mask_ == mask)
        return;
    mask_ = mask;
    update();
}

void TIgnoreAreasEditor::setPictureSource(std::function<QImage()> source)
{
    source_ = std::move(source);
    if (isVisible())
        refreshPicture();
}

void TIgnoreAreasEditor::refreshPicture()
{
    if (!source_)
        return;
    QImage picture = source_();
    // A camera that gives nothing for a moment keeps the last picture up.
    if (!picture.isNull()) {
        picture_ = std::move(picture);
        update();
    }
}

void TIgnoreAreasEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refreshPicture();
    refresh_.start();
}

void TIgnoreAreasEditor::hideEvent(QHideEvent* event)
{
    refresh_.stop();
    QWidget::hideEvent(event);
}

bool TIgnoreAreasEditor::cellAt(QPoint at, int& column, int& row) const
{
    if (!rect().contains(at))
        return false;
    column = ::IgnoreMask::ColumnOf(at.x(), width());
    row = ::IgnoreMask::RowOf(at.y(), height());
    return true;
}

void TIgnoreAreasEditor::paintTo(QPoint at)
{
    // Every cell along the way: a quick drag moves further than a cell
    // between two mouse events.
    const QPoint from = painting_ ? lastPoint_ : at;
    const int steps = std::max(1, (at - from).manhattanLength() / 2);
    bool changed = false;
    for (int i = 0; i <= steps; ++i) {
        int column = 0, row = 0;
        if (cellAt(from + (at - from) * i / steps, column, row) &&
            mask_.at(column, row) != paintIgnored_) {
            mask_.set(column, row, paintIgnored_);
            changed = true;
        }
    }
    lastPoint_ = at;
    if (changed) {
        update();
        emit maskChanged();
    }
}

void TIgnoreAreasEditor::mousePressEvent(QMouseEvent* event)
{
    int column = 0, row = 0;
    if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), column, row))
        return QWidget::mousePressEvent(event);
    paintIgnored_ = !mask_.at(column, row);
    painting_ = false;
    paintTo(event->position().toPoint());
    painting_ = true;
}

void TIgnoreAreasEditor::mouseMoveEvent(QMouseEvent* event)
{
    if (painting_)
        paintTo(event->position().toPoint());
}

void TIgnoreAreasEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        painting_ = false;
}

void TIgnoreAreasEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (picture_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), picture_);
    const auto cellRect = [this](int column, int row) {
        const int left = column * width() / ::IgnoreMask::kColumns;
        const int top = row * height() / ::IgnoreMask::kRows;
        return QRect(left, top, (column + 1) * width() / ::IgnoreMask::kColumns - left,
                     (row + 1) * height() / ::IgnoreMask::kRows - top);
    };
    // Ignored cells shaded red, the rest under a faint grid.
    const QColor ignored(220, 0, 0, 120);
    painter.setPen(QColor(255, 255, 255, 60));
    for (int row = 0; row < ::IgnoreMask::kRows; ++row) {
        for (int column = 0; column < ::IgnoreMask::kColumns; ++column) {
            const QRect cell = cellRect(column, row);
            if (mask_.at(column, row))
                painter.fillRect(cell, ignored);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
        }
    }
}
