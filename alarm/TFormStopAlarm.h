#pragma once

#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;

// The small red window that stops a looping alarm. It floats above every
// other window without taking the focus, so the user can stop the sound
// without disturbing what they were typing. A click anywhere on it sends the
// stop-request event to its target and waits for it to be handled.
//
// Created hidden by the options window and kept with it; shown and hidden as
// the looping sound starts and ends.
class TFormStopAlarm final : public QWidget
{
    Q_OBJECT

public:
    explicit TFormStopAlarm(QWidget* parent = nullptr);

    // Where the stop request goes; none until the owner sets itself.
    void SetTarget(QObject* target) { target_ = target; }
    QObject* Target() const { return target_; }

    // Raises the window above all others and centres it, unless it is shown.
    void ShowOnTop();
    // What a click on the window, its picture or its label does.
    void StopClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPointer<QObject> target_;
    QFrame* PanelAlarm = nullptr;
    QLabel* ImageSoundStop = nullptr;
    QLabel* LabelStop = nullptr;
};
