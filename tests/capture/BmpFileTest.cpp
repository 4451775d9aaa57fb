#include "BmpFile.h"

#include "ScratchDir.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

// Every pixel different, so a swapped channel, row or column shows.
QImage Gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            p[3 * x] = uchar(x * 7 + y);
            p[3 * x + 1] = uchar(y * 5);
            p[3 * x + 2] = uchar(255 - x);
        }
    }
    return img;
}

void Put32(QByteArray& b, int offset, std::int32_t v)
{
    qToLittleEndian<std::int32_t>(v, b.data() + offset);
}

} // namespace

TEST(BmpFile, RoundTripKeepsEveryPixelAtOddWidths)
{
    for (const QSize s : {QSize(1, 1), QSize(161, 3), QSize(176, 144), QSize(2, 5)}) {
        const QImage src = Gradient(s.width(), s.height());
        QString error;
        const QImage back = BmpFile::Decode(BmpFile::Encode(src), &error);
        ASSERT_FALSE(back.isNull()) << error.toStdString();
        EXPECT_EQ(back, src) << s.width() << "x" << s.height();
    }
}

TEST(BmpFile, WritesBottomUpBgrThatQtReadsBack)
{
    QImage src(3, 2, QImage::Format_RGB888);
    src.fill(Qt::black);
    src.setPixelColor(0, 1, QColor(10, 20, 30)); // bottom-left
    const QByteArray b = BmpFile::Encode(src);
    EXPECT_EQ(b.size(), 54 + 2 * 12);                            // rows padded to 12 bytes
    EXPECT_EQ(qFromLittleEndian<qint32>(b.constData() + 22), 2); // positive: bottom-up
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 28), 24);
    // The first stored row is the bottom one, blue first.
    EXPECT_EQ(uchar(b[54]), 30);
    EXPECT_EQ(uchar(b[55]), 20);
    EXPECT_EQ(uchar(b[56]), 10);

    ScratchDir dir;
    ASSERT_TRUE(BmpFile::Save(Gradient(352, 288), dir.file("f.bmp")));
    QImage viaQt(dir.file("f.bmp"));
    ASSERT_EQ(viaQt.size(), QSize(352, 288));
    EXPECT_EQ(viaQt.convertToFormat(QImage::Format_RGB888), Gradient(352, 288));
}

TEST(BmpFile, ReadsTopDownAnd32BitFiles)
{
    QImage src = Gradient(5, 4);
    QByteArray b = BmpFile::Encode(src);
    // Flip to top-down: negative height and rows reversed.
    QByteArray topDown = b.left(54);
    Put32(topDown, 22, -4);
    const int stride = 16;
    for (int y = 3; y >= 0; --y)
        topDown += b.mid(54 + y * stride, stride);
    EXPECT_EQ(BmpFile::Decode(topDown), src);

    QImage argb = src.convertToFormat(QImage::Format_RGB32);
    QByteArray b32 = b.left(54);
    qToLittleEndian<quint16>(32, b32.data() + 28);
    for (int y = 3; y >= 0; --y)
        b32 += QByteArray(reinterpret_cast<const char*>(argb.constScanLine(y)), 20);
    EXPECT_EQ(BmpFile::Decode(b32), src);
}

TEST(BmpFile, ThirtyTwoBitFilesCarryTheSamePicture)
{
    const QImage src = Gradient(7, 5);
    const QByteArray b = BmpFile::Encode(src, 32);
    EXPECT_EQ(b.size(), 54 + 7 * 4 * 5);
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 28), 32);
    EXPECT_EQ(BmpFile::Decode(b), src);
    ScratchDir dir;
    ASSERT_TRUE(BmpFile::Save(src, dir.file("f32.bmp"), nullptr, 32));
    EXPECT_EQ(QImage(dir.file("f32.bmp")).convertToFormat(QImage::Format_RGB888), src);
}

TEST(BmpFile, LiveFramesOfThirtyTwoBitPixelsWriteTheSameFile)
{
    for (const QSize s : {QSize(1, 1), QSize(7, 5), QSize(352, 288)}) {
        const QImage rgb = Gradient(s.width(), s.height());
        const QImage wide = rgb.convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(BmpFile::Encode(wide), BmpFile::Encode(rgb)) << s.width() << "x" << s.height();
        EXPECT_EQ(BmpFile::Encode(wide, 32), BmpFile::Encode(rgb, 32));
    }
}

TEST(BmpFile, HostileHeadersAreErrorsWithoutHugeAllocations)
{
    const QByteArray good = BmpFile::Encode(Gradient(8, 8));
    struct Case
    {
        const char* what;
        int offset;
        std::int32_t value;
    };
    const Case cases[] = {
        {"width beyond limit", 18, 1 << 30},
        {"negative width", 18, -8},
        {"zero height", 22, 0},
        {"most negative height", 22, INT32_MIN},
        {"size larger than data", 18, 4000},
        {"pixel offset past end", 10, 1 << 30},
        {"pixel offset inside headers", 10, 20},
        {"compressed", 30, 1},
        {"header too small", 14, 12},
    };
    for (const Case& c : cases) {
        QByteArray b = good;
        Put32(b, c.offset, c.value);
        QString error;
        EXPECT_TRUE(BmpFile::Decode(b, &error).isNull()) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
    QString error;
    EXPECT_TRUE(BmpFile::Decode(good.left(good.size() - 1), &error).isNull());
    EXPECT_TRUE(BmpFile::Decode(QByteArray("BM"), &error).isNull());
    EXPECT_TRUE(BmpFile::Decode(QByteArray(100, 'x'), &error).isNull());
}

TEST(BmpFile, SaveOverwritesAndFailsCleanly)
{
    ScratchDir dir;
    const QString path = dir.file("~ILXTMP.BMP");
    ASSERT_TRUE(BmpFile::Save(Gradient(160, 120), path));
    ASSERT_TRUE(BmpFile::Save(Gradient(4, 4), path));
    EXPECT_EQ(BmpFile::Load(path).size(), QSize(4, 4));

    QString error;
    EXPECT_FALSE(BmpFile::Save(Gradient(4, 4), dir.file("no/such/dir/x.bmp"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(BmpFile::Save(QImage(), path, &error));
    EXPECT_EQ(BmpFile::Load(path).size(), QSize(4, 4)); // the old frame stays
    EXPECT_TRUE(BmpFile::Load(dir.file("missing.bmp"), &error).isNull());
}

namespace {

int ModeOf(const QString& path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

} // namespace

TEST(BmpFile, TheLiveFrameIsTheUsersAloneAndNeverWrittenThroughALink)
{
    ScratchDir dir;
    const QString path = dir.file("~ILXTMP.BMP");
    ASSERT_TRUE(BmpFile::WriteScratch(Gradient(160, 120), path));
    EXPECT_EQ(ModeOf(path), 0600);
    EXPECT_EQ(BmpFile::Load(path).size(), QSize(160, 120));

    // A file left open to others by an older copy is replaced by a closed one.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_TRUE(BmpFile::WriteScratch(Gradient(8, 8), path));
    EXPECT_EQ(ModeOf(path), 0600);

    // A link planted at the name is removed, not written through: the file
    // behind it stays as it was.
    const QString victim = dir.file("victim.txt");
    dir.write("victim.txt", "the user's own file");
    const QString linked = dir.file("linked.bmp");
    ASSERT_TRUE(QFile::link(victim, linked));
    ASSERT_TRUE(BmpFile::WriteScratch(Gradient(8, 8), linked));
    EXPECT_EQ(dir.read("victim.txt"), "the user's own file");
    EXPECT_FALSE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(BmpFile::Load(linked).size(), QSize(8, 8));

    // A write that cannot happen leaves no file behind to be read as a frame.
    QString error;
    EXPECT_FALSE(BmpFile::WriteScratch(Gradient(8, 8), dir.file("no/such/dir/x.bmp"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(BmpFile::WriteScratch(QImage(), path, &error));
}
