#pragma once

#include <QStyle>
#include <QWidget>

class QLineEdit;
class QToolButton;

// A text field with a browse button beside it. What browsing offers and
// accepts is the concrete field's: a folder or a file.
class TBrowseEdit : public QWidget
{
    Q_OBJECT

public:
    QString Text() const;
    void SetText(const QString& text);

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }

    // What the browse button does.
    virtual void Browse() = 0;

signals:
    void Changed();

protected:
    TBrowseEdit(QStyle::StandardPixmap buttonIcon, QWidget* parent);

private:
    QLineEdit* edit_;
    QToolButton* button_;
};
