// A detection's save with the pictures' limits in force, in a folder that
// already holds 100 000 pictures, beside the same save in an empty folder in
// the same run: keeping the folder within its limits must not grow with the
// number of pictures. Prints the ratio of the medians. Each saver has a
// folder of its own, since a save into a folder another saver just wrote to
// is a change by someone else and reads the folder again; what that costs is
// printed last.
#include "PictureName.h"
#include "SavePicture.h"
#include "TPictureRetention.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFullCount = 100000;
constexpr int kSaves = 200;

QImage testFrame()
{
    QImage image(352, 288, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 352, y * 255 / 288, (x * 13 ^ y * 7) & 0xff));
    return image;
}

// One small file per picture, a second apart, all older than the saves.
void fill(const QString& folder, int count)
{
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < count; ++i) {
        QFile f(PictureFileName(folder, QStringLiteral("ILX"), start.addSecs(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write("x", 1) != 1)
            std::abort();
    }
}

// A save's bookkeeping as the program does it: limits in force that keep
// everything, so the counting runs on every save and nothing goes.
struct Saver
{
    Saver(const QString& folder, bool limits)
    {
        settings.Folder = folder;
        if (!limits)
            return;
        settings.Retention = &retention;
        settings.Keep = TRetentionLimits{36500, qint64(1) << 40};
        retention.SetOwnPrefixes({settings.Prefix});
        // The start-up read of the folder is not part of a save.
        retention.Enforce(folder, settings.Keep, QDateTime::currentDateTime());
    }
    double SaveMicros(const QImage& frame)
    {
        QElapsedTimer t;
        t.start();
        if (SavePicture(nullptr, frame, settings).isEmpty())
            std::abort();
        return double(t.nsecsElapsed()) / 1000.0;
    }
    TPictureRetention retention;
    TPictureSettings settings;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir full, empty, plainFullDir, plainEmptyDir;
    fill(full.path(), kFullCount);
    fill(plainFullDir.path(), kFullCount);
    QElapsedTimer read;
    read.start();
    TPictureRetention startUp;
    startUp.SetOwnPrefixes({QStringLiteral("ILX")});
    startUp.Enforce(full.path(), {36500, qint64(1) << 40}, QDateTime::currentDateTime());
    const qint64 readMs = read.elapsed();
    // Saves alternate between the two folders, so a noisy moment of the
    // machine touches both sides alike.
    // The reference: the same saves without limits, where only the file
    // system's own cost of a large folder can show.
    Saver inFull(full.path(), true), inEmpty(empty.path(), true);
    Saver plainFull(plainFullDir.path(), false), plainEmpty(plainEmptyDir.path(), false);
    const QImage frame = testFrame();
    std::vector<double> fullTimes, emptyTimes, plainFullTimes, plainEmptyTimes;
    for (int i = 0; i < kSaves; ++i) {
        emptyTimes.push_back(inEmpty.SaveMicros(frame));
        fullTimes.push_back(inFull.SaveMicros(frame));
        plainEmptyTimes.push_back(plainEmpty.SaveMicros(frame));
        plainFullTimes.push_back(plainFull.SaveMicros(frame));
    }
    // Someone else adds a file before each of these saves.
    std::vector<double> changedTimes;
    for (int i = 0; i < 5; ++i) {
        QFile other(full.path() + QStringLiteral("/other %1.txt").arg(i));
        if (!other.open(QIODevice::WriteOnly))
            std::abort();
        other.close();
        changedTimes.push_back(inFull.SaveMicros(frame));
    }
    const double fullSave = median(fullTimes);
    const double emptySave = median(emptyTimes);
    const double plainFullSave = median(plainFullTimes);
    const double plainEmptySave = median(plainEmptyTimes);
    std::printf("save with limits in force: %.0f us in a folder of %d pictures, %.0f us in an "
                "empty one, ratio %.2f\n"
                "reference, the same save without limits: %.0f us full, %.0f us empty, ratio %.2f\n"
                "reading the full folder at start: %lld ms\n"
                "a save in the full folder after someone else changed it: %.0f ms\n",
                fullSave, kFullCount, emptySave, fullSave / emptySave, plainFullSave,
                plainEmptySave, plainFullSave / plainEmptySave, readMs,
                median(changedTimes) / 1000.0);
    return 0;
}
