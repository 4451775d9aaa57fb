#pragma once

#include "IgnoreMask.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

// The areas the comparison leaves out, painted over the live picture: the
// mask's cells drawn on the camera's picture (refreshed while the editor is
// seen). A press on a cell ignores it, or gives it back when it was ignored;
// dragging on paints the cells passed over the same way. (::IgnoreMask, as
// inside a widget IgnoreMask names one of its render flags.)
class TIgnoreAreasEditor final : public QWidget
{
    Q_OBJECT

public:
    explicit TIgnoreAreasEditor(QWidget* parent = nullptr);

    const ::IgnoreMask& mask() const { return mask_; }
    void setMask(const ::IgnoreMask& mask);
    // Where the picture comes from (null: none; the cells are drawn alone).
    void setPictureSource(std::function<QImage()> source);

signals:
    void maskChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The cell under a point of the widget; false outside the picture.
    bool cellAt(QPoint at, int& column, int& row) const;
    // Paints the cells from the last point to `at` (only `at` at a press).
    void paintTo(QPoint at);
    void refreshPicture();

    ::IgnoreMask mask_;
    QImage picture_;
    std::function<QImage()> source_;
    QTimer refresh_;
    bool painting_ = false;
    QPoint lastPoint_;
    bool paintIgnored_ = true;
};
