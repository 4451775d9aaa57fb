#pragma once

#include "StatusBarRules.h"

#include <QWidget>

#include <functional>

// The main window's status bar: panel 0 the hint, panel 1 the detection
// counter, panel 2 the alarm icon, panel 3 plain. Panels 1 and 2 are drawn
// here; what they show is asked of the window through the callbacks, so the
// bar always paints the current state.
class TStatusBarVideo : public QWidget
{
    Q_OBJECT

public:
    explicit TStatusBarVideo(QWidget* parent = nullptr);

    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    int PanelWidth(int panel) const;

    // The window's state the bar shows; hasOptions false hides the alarm icon.
    std::function<int()> DetectionCount;
    std::function<bool()> HasOptions;
    std::function<StatusBarRules::AlarmState()> AlarmState;
    // A press on the alarm icon.
    std::function<void()> AlarmIconClicked;

    QSize sizeHint() const override;

    // The icon of the alarm list by index (1 on, 2 off, 3 playing).
    static QPixmap AlarmIcon(int index);

    // The font a text panel draws \a text in: \a base, or a smaller one down
    // to 6 points when the text is wider than \a room pixels, so that a long
    // hint is read whole rather than cut.
    static QFont FittingFont(const QFont& base, const QString& text, int room);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect PanelRect(int panel) const;
    void DrawCounterPanel(QPainter& p, const QRect& r);
    void DrawAlarmPanel(QPainter& p, const QRect& r);

    QString texts_[4];
    int widths_[4] = {StatusBarRules::kPanel0Width, StatusBarRules::kPanel1Width,
                      StatusBarRules::kPanel2Width, StatusBarRules::kPanel3Width};
};
