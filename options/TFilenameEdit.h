#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

// A file field with a browse button; the browse dialog only accepts a file
// that exists, in a folder that exists.
class TFilenameEdit final : public QWidget
{
    Q_OBJECT

public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    QString InitialDir;
    QString DialogTitle = QStringLiteral("Select...");
    QString Filter = QStringLiteral("Sound file (*.wav)");

    // The dialog itself (tests replace it): the chosen file, or empty.
    std::function<QString(QWidget* parent, const QString& title, const QString& start,
                          const QString& filter)>
        Dialog;

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }

    void Browse();

signals:
    void Changed();

private:
    QLineEdit* edit_;
    QToolButton* button_;
};
