// Kills a writer process (SIGKILL) at random moments in the middle of its
// writes, many times over, and checks that every file it leaves is whole:
// either the old version or the new one, and readable by the program.
#include "EIlxError.h"
#include "Horaires.h"
#include "JpegCodec.h"
#include "PictureName.h"
#include "ProfileFile.h"
#include "ScratchDir.h"
#include "TPictureFolder.h"
#include "TTimeCells.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kKills = 30;

QString WriterPath()
{
    return QString::fromLocal8Bit(ILX_CRASH_WRITER);
}

// Starts the writer, waits for its first complete write, lets it run a
// random while and kills it. False when the writer did not come up.
bool RunAndKill(const QString& kind, const QString& folder, QRandomGenerator& random)
{
    QProcess writer;
    writer.start(WriterPath(), {kind, folder});
    if (!writer.waitForStarted(5000) || !writer.waitForReadyRead(10000))
        return false;
    QThread::usleep(random.bounded(1, 40000));
    ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
    writer.waitForFinished(5000);
    return writer.exitStatus() == QProcess::CrashExit;
}

// No temporary file of a save may be left looking like a data file.
void ExpectOnlyFiles(const QString& folder, const QStringList& allowed)
{
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (const QString& name : names) {
        bool known = allowed.contains(name);
        // QSaveFile's leftover of a killed write has a random suffix; it is
        // never read by the program, but it must not carry a data-file name.
        for (const QString& a : allowed)
            known = known || name.startsWith(a + QLatin1Char('.'));
        EXPECT_TRUE(known) << name.toStdString();
    }
}

} // namespace

TEST(CrashSafety, KilledScheduleWritesLeaveOneWholeVersion)
{
    ScratchDir dir;
    QRandomGenerator random(20261208);
    const QString path = dir.file(QStringLiteral("iLXLE_SCHEDULE.DAT"));
    for (int k = 0; k < kKills; ++k) {
        ASSERT_TRUE(RunAndKill(QStringLiteral("schedule"), dir.path(), random)) << "kill " << k;
        const QByteArray bytes = dir.read(QStringLiteral("iLXLE_SCHEDULE.DAT"));
        ASSERT_EQ(bytes.size(), 672) << "kill " << k;
        // One of the two patterns the writer flips between, whole.
        bool first = true, second = true;
        for (int i = 0; i < 672; ++i) {
            first = first && bytes[i] == char(i % 2 == 0);
            second = second && bytes[i] == char(i % 3 == 0);
        }
        EXPECT_TRUE(first || second) << "kill " << k;
        TTimeCells cells;
        LoadSchedule(cells, path);
    }
    ExpectOnlyFiles(dir.path(), {QStringLiteral("iLXLE_SCHEDULE.DAT")});
}

TEST(CrashSafety, KilledLogWritesLeaveWholeLines)
{
    ScratchDir dir;
    QRandomGenerator random(81226);
    for (int k = 0; k < kKills; ++k) {
        ASSERT_TRUE(RunAndKill(QStringLiteral("log"), dir.path(), random)) << "kill " << k;
        const QByteArray bytes = dir.read(QStringLiteral("iLXLE_SOUND.LOG"));
        ASSERT_FALSE(bytes.isEmpty()) << "kill " << k;
        // Every write is a whole list of CR LF lines: the file ends with one,
        // and each line is one the writer produced.
        ASSERT_TRUE(bytes.endsWith("\r\n")) << "kill " << k;
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeLast(); // after the last line break
        for (const QByteArray& raw : lines) {
            ASSERT_TRUE(raw.endsWith('\r')) << "kill " << k;
            const QByteArray line = raw.chopped(1);
            const bool known = line.isEmpty() || line.startsWith("Logfile \"Sound Alarm\"") ||
                               line.startsWith("Date: ") ||
                               line.startsWith("Start Sound: round ") ||
                               line.startsWith("End of Thread \"Sound Alarm\"");
            EXPECT_TRUE(known) << line.toStdString();
        }
        // The trim keeps the log bounded however often it is rewritten.
        EXPECT_LE(bytes.size(), 32768 + 4096);
    }
}

TEST(CrashSafety, KilledSettingsWritesKeepEveryKey)
{
    ScratchDir dir;
    QRandomGenerator random(1234);
    const QString path = dir.file(QStringLiteral("iLXLE_PARAM.DAT"));
    for (int k = 0; k < kKills; ++k) {
        ASSERT_TRUE(RunAndKill(QStringLiteral("settings"), dir.path(), random)) << "kill " << k;
        for (int key = 0; key < 10; ++key) {
            const QString value = ReadProfileString(path, QStringLiteral("Setup"),
                                                    QStringLiteral("Key%1").arg(key), "missing");
            EXPECT_TRUE(value == QStringLiteral("first %1").arg(key) ||
                        value == QStringLiteral("second value %1").arg(key))
                << "kill " << k << " key " << key << ": " << value.toStdString();
        }
    }
    ExpectOnlyFiles(dir.path(), {QStringLiteral("iLXLE_PARAM.DAT")});
}

TEST(CrashSafety, KilledPictureSavesLeaveOnlyWholePictures)
{
    ScratchDir dir;
    QRandomGenerator random(352288);
    QHash<QString, QByteArray> seen; // picture name -> hash of its bytes
    QSet<QString> leftovers;
    for (int k = 0; k < kKills; ++k) {
        ASSERT_TRUE(RunAndKill(QStringLiteral("pictures"), dir.path(), random)) << "kill " << k;
        const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QStringList pictures;
        for (const QString& name : names) {
            if (!MatchesPictureName(name)) {
                // What a killed save may leave: its temporary file, named
                // after the picture but never looking like one.
                const QString base = name.section(QLatin1Char('.'), 0, 1);
                EXPECT_TRUE(MatchesPictureName(base) && name.size() > base.size())
                    << "kill " << k << ": " << name.toStdString();
                leftovers.insert(name);
                continue;
            }
            pictures << name;
            const QByteArray bytes = dir.read(name);
            const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
            if (seen.contains(name)) {
                EXPECT_EQ(seen.value(name), hash)
                    << "an earlier picture changed: " << name.toStdString();
                continue;
            }
            seen.insert(name, hash);
            try {
                EXPECT_EQ(DecodeJpeg(bytes).size(), QSize(352, 288)) << name.toStdString();
            } catch (const EIlxError& e) {
                ADD_FAILURE() << "kill " << k << ": " << name.toStdString() << ": " << e.what();
            }
        }
        EXPECT_EQ(pictures.size(), seen.size()) << "kill " << k << ": a picture disappeared";
        TPictureFolder viewer;
        viewer.List(dir.path());
        SortPictureNames(pictures);
        EXPECT_EQ(viewer.Names(), pictures) << "kill " << k;
    }
    EXPECT_GE(seen.size(), kKills);
    std::printf("%d kills, %lld whole pictures, %lld temporary files left by killed saves\n",
                kKills, static_cast<long long>(seen.size()),
                static_cast<long long>(leftovers.size()));
}
