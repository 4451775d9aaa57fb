#include "TCameraWait.h"

void TCameraWait::Start(const QString& camera, Cause cause, const QDateTime& since,
                        bool wasScanning)
{
    active_ = true;
    camera_ = camera;
    cause_ = cause;
    since_ = since;
    scanningBefore_ = wasScanning;
    lastTry_.clear();
}

void TCameraWait::Stop()
{
    active_ = false;
    scanningBefore_ = false;
    lastTry_.clear();
}

QString TCameraWait::InfoText(const QDateTime& now) const
{
    // The time alone on the day it began; with its date once that is past.
    const QString since = since_.date() == now.date()
                              ? since_.toString(QStringLiteral("HH:mm:ss"))
                              : since_.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    QString text = QStringLiteral("Waiting for the camera \"%1\" since %2, trying again every %3 s")
                       .arg(camera_, since)
                       .arg(kIntervalMs / 1000);
    if (!lastTry_.isEmpty())
        text += QStringLiteral(" (") + lastTry_ + QStringLiteral(")");
    return text;
}

QString TCameraWait::StartLine(const QString& stamp) const
{
    return (cause_ == Cause::Lost ? QStringLiteral("Camera lost: ")
                                  : QStringLiteral("Camera missing at start: ")) +
           camera_ + QStringLiteral(" - ") + stamp;
}

QString TCameraWait::BackLine(const QString& stamp) const
{
    return QStringLiteral("Camera back: ") + camera_ + QStringLiteral(" - ") + stamp;
}
