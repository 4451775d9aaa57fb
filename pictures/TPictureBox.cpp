#include "TPictureBox.h"

#include <QPainter>

TPictureBox::TPictureBox(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void TPictureBox::SetPicture(const QImage& picture)
{
    picture_ = picture;
    error_.clear();
    update();
}

void TPictureBox::SetError(const QString& text)
{
    picture_ = QImage();
    error_ = text;
    update();
}

void TPictureBox::Clear()
{
    picture_ = QImage();
    error_.clear();
    update();
}

bool TPictureBox::Stretched() const
{
    return !picture_.isNull() && (width() < picture_.width() || height() < picture_.height());
}

void TPictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!error_.isEmpty()) {
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, error_);
        return;
    }
    if (picture_.isNull())
        return;
    QSize size = picture_.size();
    if (Stretched())
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, Stretched());
    painter.drawImage(target, picture_);
}
