#pragma once

#include <QColor>
#include <QWidget>

#include <functional>

// A panel that is transparent except for its outline, an optional size grip
// and an optional cross-hair: the window is masked to the visible parts, so
// whatever lies below shows through the hole.
class TPanelTrans : public QWidget
{
    Q_OBJECT

public:
    // May change the bounds before they are applied.
    using TNotifyEventPosChanging =
        std::function<void(TPanelTrans* sender, int& x, int& y, int& width, int& height)>;
    using TNotifyEventPosChanged =
        std::function<void(TPanelTrans* sender, int x, int y, int width, int height)>;

    explicit TPanelTrans(QWidget* parent = nullptr);

    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int GripWidth() const { return gripWidth_; }
    void SetGripWidth(int gripWidth);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool sizeGrip);
    bool Mire() const { return mire_; }
    void SetMire(bool mire);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    TNotifyEventPosChanging OnPosChanging;
    TNotifyEventPosChanged OnPosChanged;
    std::function<void(TPanelTrans*)> OnMouseEnter;
    std::function<void(TPanelTrans*)> OnMouseExit;
    std::function<void(TPanelTrans*, QMouseEvent*)> OnMouseDown;
    std::function<void(TPanelTrans*, QMouseEvent*)> OnMouseMove;

    // Every change of position or size goes through here, so the handler can
    // constrain it.
    void SetBounds(int x, int y, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void updateRegion();

    int margin_ = 1;
    int gripWidth_ = 8;
    bool sizeGrip_ = true;
    bool mire_ = false;
    QColor color_{192, 192, 192};
};
