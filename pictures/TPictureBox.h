#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The viewer's picture area: the picture centred at its own size, or scaled
// down to fit (keeping its proportions) when the area is smaller; a picture
// that could not be read shows its error text instead.
class TPictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit TPictureBox(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    void SetError(const QString& text);
    void Clear();

    const QImage& Picture() const { return picture_; }
    const QString& ErrorText() const { return error_; }
    // True when the picture is drawn smaller than its own size.
    bool Stretched() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QString error_;
};
