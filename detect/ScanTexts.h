#pragma once

#include <QString>

// The texts the scan cycle, the pause command and the stability wait show in
// the information panel, built in one place.
namespace ScanTexts {

QString StatusLine(qint64 elapsedMs, double differences, int intervalMs, int grabWaitMs);
QString OverlapDelayed(int scanDelayMs);
QString BufferNotReady();
QString GrabWait(int grabWaitMs);
// A failed cycle after failures for blindMs in a row: the scan is blind.
QString ScanningBlind(int grabWaitMs, qint64 blindMs);
QString VideoActive(bool active);
QString ScanningOff();
QString VideoPaused();
QString VideoPlaying();
QString WaitingStability(qint64 remainingMs);
QString ModeVideoCaption(bool liveVisible);

// SetScanning's look of the scanning command.
QString AnalyseMenuCaption(bool scanning);
QString AnalyseHint(bool scanning);
int AnalyseImageIndex(bool scanning);

// Labels of the frozen still.
QString StillLabel(bool scanning);
QString StillUnavailable();

} // namespace ScanTexts
