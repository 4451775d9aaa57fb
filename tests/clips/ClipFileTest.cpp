// What a clip leaves behind when it is completed, cut short by a full disk,
// or interrupted by a kill: a whole clip, the part that plays, or nothing.
#include "ClipFile.h"
#include "ClipProbe.h"
#include "ScratchDir.h"
#include "TClipWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

QByteArray Box(const char* type, int payload)
{
    QByteArray box(8 + payload, '\0');
    qToBigEndian<quint32>(quint32(box.size()), box.data());
    box.replace(4, 4, type);
    return box;
}

QByteArray LargeBox(const char* type, int payload)
{
    QByteArray box(16 + payload, '\0');
    qToBigEndian<quint32>(1, box.data());
    box.replace(4, 4, type);
    qToBigEndian<quint64>(quint64(box.size()), box.data() + 8);
    return box;
}

// A room with a square moving across it and a little noise, as a camera sees.
QImage Picture(int index)
{
    QImage picture(352, 288, QImage::Format_RGB32);
    picture.fill(QColor(70, 90, 110));
    QPainter p(&picture);
    p.fillRect(20 + index * 6, 100, 60, 90, QColor(200, 60, 40));
    p.end();
    quint32 seed = 12345u + quint32(index);
    for (int y = 0; y < picture.height(); y += 3) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] ^= (seed >> 28) * 0x010101u;
        }
    }
    return picture;
}

// Writes `count` pictures 1/15 s apart as the clip `path`.
TClipOutcome WriteClip(const QString& path, int count)
{
    QString why;
    const auto writer = TClipWriter::ForPictures(QSize(352, 288), 15, path, &why);
    if (!writer) {
        ADD_FAILURE() << why.toStdString();
        return {};
    }
    // The seconds kept from before come ahead of the start, as in an event.
    for (int i = 0; i < count; ++i) {
        if (i == count / 3)
            writer->Begin();
        writer->PushPicture(Picture(i), qint64(i) * 1000000000 / 15);
    }
    return writer->Finish(15000);
}

} // namespace

TEST(ClipFile, APlayableLengthEndsAtTheLastCompleteFragment)
{
    const QByteArray head = Box("ftyp", 16) + Box("moov", 100);
    const QByteArray first = Box("moof", 40) + Box("mdat", 500);
    const QByteArray second = Box("moof", 40) + Box("mdat", 300);
    const qint64 oneFragment = head.size() + first.size();
    struct Case
    {
        const char* what;
        QByteArray file;
        qint64 playable; // -1: all of it
    };
    const Case cases[] = {
        {"finished", head + first + second + Box("mfra", 20), -1},
        {"cut in the last fragment's data", head + first + second.chopped(10), oneFragment},
        {"cut between a fragment's header and data", head + first + Box("moof", 40), oneFragment},
        {"a header and no fragment", head, 0},
        {"cut in the header", head.left(50), 0},
        {"data before any header", Box("ftyp", 16) + Box("mdat", 100), 0},
        {"a plain file, index last", Box("ftyp", 16) + Box("mdat", 100) + Box("moov", 50), -1},
        {"a plain file, index first", head + Box("mdat", 100), -1},
        {"64-bit sizes", head + Box("moof", 40) + LargeBox("mdat", 200), -1},
        {"a size smaller than its header", head + first + QByteArray("\0\0\0\4moof", 8) + second,
         oneFragment},
        {"empty", QByteArray(), 0},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.file;
        QBuffer file(&bytes);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(PlayableLength(file), c.playable < 0 ? bytes.size() : c.playable) << c.what;
    }
}

TEST(ClipFile, AnInterruptedClipIsCutBackToWhatPlaysOrRemoved)
{
    ScratchDir dir;
    const QString whole = dir.file("ILX 2026-12-09 10-00-00-000.mp4");
    const TClipOutcome outcome = WriteClip(whole, 45);
    ASSERT_TRUE(outcome.kept && !outcome.failed) << outcome.why.toStdString();
    EXPECT_FALSE(QFile::exists(ClipTempName(whole)));
    const ClipFacts facts = ProbeClip(whole);
    ASSERT_TRUE(facts.playable) << facts.error.toStdString();
    EXPECT_EQ(facts.frames, 45);
    EXPECT_NEAR(double(facts.spanMs()), 44 * 1000 / 15, 2);

    // A kill in the third second; a kill before the first second was written;
    // a link where a temporary clip would be.
    const QByteArray bytes = dir.read(QFileInfo(whole).fileName());
    const QString cut = dir.file("ILX 2026-12-09 10-01-00-000.mp4");
    dir.write(QFileInfo(ClipTempName(cut)).fileName(), bytes.left(bytes.size() * 8 / 10));
    const QString early = dir.file("ILX 2026-12-09 10-02-00-000.mp4");
    dir.write(QFileInfo(ClipTempName(early)).fileName(), bytes.left(900));
    const QString linked = dir.file("ILX 2026-12-09 10-03-00-000.mp4");
    ASSERT_TRUE(QFile::link(whole, ClipTempName(linked)));

    EXPECT_EQ(RecoverInterruptedClips(dir.path()), 1);
    const ClipFacts kept = ProbeClip(cut);
    ASSERT_TRUE(kept.playable) << kept.error.toStdString();
    EXPECT_GE(kept.frames, 15);
    EXPECT_LT(kept.frames, 45);
    EXPECT_FALSE(QFile::exists(ClipTempName(cut)));
    EXPECT_FALSE(QFile::exists(early)) << "nothing in it played";
    EXPECT_FALSE(QFile::exists(ClipTempName(early)));
    EXPECT_FALSE(QFile::exists(linked)) << "a link is not followed";
    EXPECT_EQ(dir.read(QFileInfo(whole).fileName()), bytes);
}

// A disk that fills in the middle of a clip: the writing fails, says so, and
// leaves the seconds that were written whole.
TEST(ClipFile, ADiskFullInTheMiddleLeavesThePlayableStartAndSaysSo)
{
    ScratchDir dir;
    const QString room = dir.file("ILX 2026-12-09 11-00-00-000.mp4");
    ASSERT_TRUE(WriteClip(room, 60).kept);
    const qint64 full = QFileInfo(room).size();

    // The file may grow to 60 % of what the same pictures take.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limited = before;
    limited.rlim_cur = rlim_t(full * 6 / 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const QString clip = dir.file("ILX 2026-12-09 11-01-00-000.mp4");
    const TClipOutcome outcome = WriteClip(clip, 60);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(outcome.failed);
    EXPECT_FALSE(outcome.why.isEmpty());
    ASSERT_TRUE(outcome.kept);
    const ClipFacts facts = ProbeClip(clip);
    ASSERT_TRUE(facts.playable) << facts.error.toStdString();
    EXPECT_GE(facts.frames, 15);
    EXPECT_LT(facts.frames, 60);
    EXPECT_FALSE(QFile::exists(ClipTempName(clip)));
}
