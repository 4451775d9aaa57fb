#include "TFormStopAlarm.h"

#include "AlarmEvents.h"
#include "TMessageEvent.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <numbers>

namespace {

constexpr int kClientSize = 108;

// The stop sign shown behind the caption: a white-rimmed octagon.
QPixmap stopPicture()
{
    constexpr int size = 96;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF octagon;
    const double radius = size / 2.0 - 2.0;
    for (int i = 0; i < 8; ++i) {
        const double angle = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
        octagon << QPointF(size / 2.0 + radius * std::cos(angle),
                           size / 2.0 + radius * std::sin(angle));
    }
    painter.setPen(QPen(Qt::white, 4));
    painter.setBrush(QColor(176, 0, 0));
    painter.drawPolygon(octagon);
    return pixmap;
}

} // namespace

TFormStopAlarm::TFormStopAlarm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("FormStopAlarm"));
    // Borderless, yet task bars and window switchers list it by this name.
    setWindowTitle(QStringLiteral("Stop alarm"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kClientSize, kClientSize);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);

    PanelAlarm = new QFrame(this);
    PanelAlarm->setObjectName(QStringLiteral("PanelAlarm"));
    PanelAlarm->setGeometry(0, 0, kClientSize, kClientSize);
    PanelAlarm->setFrameShape(QFrame::Box);
    PanelAlarm->setLineWidth(1);
    PanelAlarm->setAutoFillBackground(true);
    QPalette red = PanelAlarm->palette();
    red.setColor(QPalette::Window, Qt::red);
    red.setColor(QPalette::WindowText, Qt::black);
    PanelAlarm->setPalette(red);

    ImageSoundStop = new QLabel(PanelAlarm);
    ImageSoundStop->setObjectName(QStringLiteral("ImageSoundStop"));
    ImageSoundStop->setGeometry(1, 1, kClientSize - 2, kClientSize - 2);
    ImageSoundStop->setAlignment(Qt::AlignCenter);
    ImageSoundStop->setPixmap(stopPicture());
    ImageSoundStop->setStatusTip(QStringLiteral("Stop alarm"));

    LabelStop = new QLabel(QStringLiteral("STOP ALARM"), PanelAlarm);
    LabelStop->setObjectName(QStringLiteral("LabelStop"));
    LabelStop->setGeometry(17, 39, 69, 27);
    LabelStop->setAlignment(Qt::AlignCenter);
    LabelStop->setWordWrap(true);
    LabelStop->setAttribute(Qt::WA_TranslucentBackground);
    LabelStop->setStatusTip(QStringLiteral("Stop alarm"));
    QFont bold = LabelStop->font();
    bold.setBold(true);
    LabelStop->setFont(bold);
    QPalette white = LabelStop->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    LabelStop->setPalette(white);
}

void TFormStopAlarm::ShowOnTop()
{
    if (isVisible())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    if (QWindow* window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, true);
}

void TFormStopAlarm::StopClick()
{
    if (target_) {
        TMessageEvent request(kStopRequestEvent, 0, 0);
        QCoreApplication::sendEvent(target_.data(), &request);
    }
    // The sound is stopping: the window need no longer cover the others.
    if (QWindow* window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, false);
    QCoreApplication::processEvents();
}

void TFormStopAlarm::mousePressEvent(QMouseEvent* event)
{
    // The picture and the label pass their presses up to here.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        StopClick();
        return;
    }
    QWidget::mousePressEvent(event);
}
