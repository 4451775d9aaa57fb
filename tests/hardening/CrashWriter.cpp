// A child process for the crash-safety test: writes one kind of file over and
// over, flipping between two known versions, until it is killed. Prints
// "ready" once the first version is on disk so the parent knows when a kill
// can land in the middle of a write.
//   ilx_crash_writer <schedule|log|settings|pictures> <folder>
#include "Horaires.h"
#include "ProfileFile.h"
#include "SavePicture.h"
#include "TAlarmLog.h"
#include "TTimeCells.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

namespace {

void FillPattern(TTimeCells& cells, bool second)
{
    for (int i = 0; i < TTimeCells::kCellCount; ++i)
        cells.SetAtPosition(i, second ? (i % 3 == 0) : (i % 2 == 0));
}

int WriteSchedules(const QString& folder)
{
    TTimeCells cells;
    const QString path = folder + QStringLiteral("/iLXLE_SCHEDULE.DAT");
    for (unsigned round = 0;; ++round) {
        FillPattern(cells, round % 2 == 1);
        if (!SaveSchedule(cells, path))
            return 2;
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

int WriteLog(const QString& folder)
{
    const QString path = folder + QStringLiteral("/iLXLE_SOUND.LOG");
    TAlarmLog log(path);
    for (unsigned round = 0;; ++round) {
        if (!log.Open(true))
            return 2;
        for (int i = 0; i < 20; ++i)
            if (!log.Add(QStringLiteral("Start Sound: round %1 line %2").arg(round).arg(i)))
                return 2;
        if (!log.Close())
            return 2;
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

// Ten keys, each flipped between two values one write at a time, the way the
// options dialog and the main window write theirs.
int WriteSettings(const QString& folder)
{
    const QString path = folder + QStringLiteral("/iLXLE_PARAM.DAT");
    for (unsigned round = 0;; ++round) {
        for (int key = 0; key < 10; ++key)
            WriteProfileString(path, QStringLiteral("Setup"), QStringLiteral("Key%1").arg(key),
                               round % 2 ? QStringLiteral("second value %1").arg(key)
                                         : QStringLiteral("first %1").arg(key));
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

// Pictures saved the way the scan cycle saves them, each under the name of
// its own moment, at the largest size the program works with.
int WritePictures(const QString& folder)
{
    QImage frame(352, 288, QImage::Format_RGB888);
    TPictureSettings settings;
    settings.Folder = folder;
    settings.FrameShown = true;
    settings.Frame = {10, 10, 60, 60};
    for (unsigned round = 0;; ++round) {
        // A busy scene, so each picture has many bytes to write.
        for (int y = 0; y < frame.height(); ++y) {
            uchar* p = frame.scanLine(y);
            for (int x = 0; x < 3 * frame.width(); ++x)
                p[x] = static_cast<uchar>((x * 7 + y * 13 + round * 31) ^ (x * y));
        }
        if (SavePicture(nullptr, frame, settings).isEmpty())
            return 2;
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3)
        return 1;
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (kind == QLatin1String("schedule"))
        return WriteSchedules(folder);
    if (kind == QLatin1String("settings"))
        return WriteSettings(folder);
    if (kind == QLatin1String("log"))
        return WriteLog(folder);
    if (kind == QLatin1String("pictures"))
        return WritePictures(folder);
    return 1;
}
