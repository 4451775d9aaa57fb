#pragma once

#include <QWidget>

class QLabel;

// The "please wait" window: borderless, on top, centred, showing one line
// while running work is stopped. Created, shown and destroyed by its user.
class TFormWaitClose : public QWidget
{
    Q_OBJECT

public:
    explicit TFormWaitClose(QWidget* parent = nullptr);

    void SetText(const QString& text);
    // Shows the window at once without waiting for the event loop.
    void ShowNow();

    QLabel* PanelWaitClose;
};
