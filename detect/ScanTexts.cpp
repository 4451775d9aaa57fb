#include "ScanTexts.h"

#include <QLocale>

namespace ScanTexts {

QString StatusLine(qint64 elapsedMs, double differences, int intervalMs, int grabWaitMs)
{
    // The default locale (the system's unless pinned) gives the decimal separator.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString line = QStringLiteral("Scanning: %1ms- Differences: %2%")
                       .arg(elapsedMs)
                       .arg(locale.toString(differences, 'f', 2));
    line += QStringLiteral("- Freqency: %1ms").arg(intervalMs);
    if (grabWaitMs > 0)
        line += QStringLiteral("- Wait: %1ms").arg(grabWaitMs);
    return line;
}

QString OverlapDelayed(int scanDelayMs)
{
    return QStringLiteral("Scanning in progress... delayed:%1ms").arg(scanDelayMs);
}

QString BufferNotReady()
{
    return QStringLiteral("Scanning - Buffer");
}

QString GrabWait(int grabWaitMs)
{
    return QStringLiteral("Scanning - Wait: %1ms").arg(grabWaitMs);
}

QString ScanningBlind(int grabWaitMs, qint64 blindMs)
{
    // What matters first: the line is read in a window as narrow as 446 pixels.
    return QStringLiteral("No picture for %1 s: nothing is watched - Wait: %2ms")
        .arg(blindMs / 1000)
        .arg(grabWaitMs);
}

QString VideoActive(bool active)
{
    return active ? QStringLiteral("Video is active") : QStringLiteral("Video is not active");
}

QString ScanningOff()
{
    return QStringLiteral("Scanning stopped");
}

QString VideoPaused()
{
    return QStringLiteral("Video paused");
}

QString VideoPlaying()
{
    return QStringLiteral("Video playing");
}

QString WaitingStability(qint64 remainingMs)
{
    return QStringLiteral("Waiting picture stability %1").arg(remainingMs / 100);
}

QString ModeVideoCaption(bool liveVisible)
{
    return liveVisible ? QStringLiteral("Video &Pause\tspace")
                       : QStringLiteral("Video P&lay\tspace");
}

QString AnalyseMenuCaption(bool scanning)
{
    return scanning ? QStringLiteral("Deactivate &scanning") : QStringLiteral("Activate &scanning");
}

QString AnalyseHint(bool scanning)
{
    return scanning ? QStringLiteral("Deactivate scanning") : QStringLiteral("Activate scanning");
}

int AnalyseImageIndex(bool scanning)
{
    return scanning ? 6 : 5;
}

QString StillLabel(bool scanning)
{
    return scanning ? QStringLiteral("SCANNING") : QStringLiteral("PAUSE");
}

QString StillUnavailable()
{
    return QStringLiteral("Unavailable");
}

} // namespace ScanTexts
