#include "TFormWaitClose.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TFormWaitClose::TFormWaitClose(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormWaitClose"));
    setFixedSize(287, 32);

    PanelWaitClose = new QLabel(this);
    PanelWaitClose->setObjectName(QStringLiteral("PanelWaitClose"));
    PanelWaitClose->setGeometry(rect());
    PanelWaitClose->setFrameStyle(QFrame::Box | QFrame::Plain);
    PanelWaitClose->setLineWidth(1);
    PanelWaitClose->setAlignment(Qt::AlignCenter);
    PanelWaitClose->setCursor(Qt::WaitCursor);
    PanelWaitClose->setText(QStringLiteral("Running Process are stopped... please wait."));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormWaitClose::SetText(const QString& text)
{
    PanelWaitClose->setText(text);
}

void TFormWaitClose::ShowNow()
{
    show();
    raise();
    repaint();
    // Let the window system draw it before the caller's long work starts.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
