#include "JpegCodec.h"

#include "EIlxError.h"
#include "ScratchDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// A smooth scene JPEG reproduces closely: gradients and a few flat blocks.
QImage scene(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            line[3 * x] = static_cast<uchar>(255 * x / w);
            line[3 * x + 1] = static_cast<uchar>(255 * y / h);
            line[3 * x + 2] = (x / 32 + y / 32) % 2 ? 200 : 60;
        }
    }
    return image;
}

double meanAbsoluteError(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < 3 * a.width(); ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (3.0 * a.width() * a.height());
}

// Offset of the first marker 0xFF <code> after the start of image, or -1.
qsizetype markerAt(const QByteArray& jpeg, uchar code)
{
    for (qsizetype i = 2; i + 1 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && uchar(jpeg[i + 1]) == code)
            return i;
    return -1;
}

void expectDecodeFails(const QByteArray& data)
{
    EXPECT_THROW(DecodeJpeg(data), EIlxError);
}

} // namespace

TEST(JpegCodec, EncodedPictureDecodesToSameSizeWithinJpegError)
{
    const QImage source = scene(352, 288);
    const QImage back = DecodeJpeg(EncodeJpeg(source, 90));
    ASSERT_EQ(back.size(), source.size());
    EXPECT_EQ(back.format(), QImage::Format_RGB888);
    EXPECT_LT(meanAbsoluteError(source, back), 4.0);
    // Other input formats are written as RGB too.
    const QImage fromArgb =
        DecodeJpeg(EncodeJpeg(source.convertToFormat(QImage::Format_ARGB32), 90));
    EXPECT_LT(meanAbsoluteError(source, fromArgb), 4.0);
}

TEST(JpegCodec, FileIsSequentialColourAndQualityIsClamped)
{
    const QImage source = scene(160, 120);
    const QByteArray q90 = EncodeJpeg(source, 90);
    ASSERT_GE(q90.size(), 4);
    EXPECT_EQ(uchar(q90[0]), 0xFF);
    EXPECT_EQ(uchar(q90[1]), 0xD8);
    // Baseline sequential (SOF0), never progressive (SOF2), three components.
    const qsizetype sof = markerAt(q90, 0xC0);
    ASSERT_GT(sof, 0);
    EXPECT_EQ(markerAt(q90, 0xC2), -1);
    EXPECT_EQ(uchar(q90[sof + 9]), 3);

    EXPECT_LT(EncodeJpeg(source, 10).size(), q90.size());
    EXPECT_GT(EncodeJpeg(source, 100).size(), q90.size());
    EXPECT_EQ(EncodeJpeg(source, 150), EncodeJpeg(source, 100));
    EXPECT_EQ(EncodeJpeg(source, -1), EncodeJpeg(source, 100));
    EXPECT_THROW(EncodeJpeg(QImage(), 90), EIlxError);
}

TEST(JpegCodec, BrokenInputIsAnErrorNotACrash)
{
    const QByteArray good = EncodeJpeg(scene(160, 120), 80);
    expectDecodeFails(QByteArray());
    expectDecodeFails(QByteArray("GIF89a not a jpeg at all"));
    expectDecodeFails(good.left(good.size() / 2));
    expectDecodeFails(good.left(20));
    QByteArray noise(4096, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 13);
    noise[0] = char(0xFF);
    noise[1] = char(0xD8);
    expectDecodeFails(noise);
}

// The library itself would pad a cut-off picture with grey and call it a
// success; a picture cut anywhere, even just its closing marker, is an error.
TEST(JpegCodec, APictureCutAtAnyByteIsAnError)
{
    const QByteArray whole = EncodeJpeg(scene(48, 40), 90);
    ASSERT_EQ(DecodeJpeg(whole).size(), QSize(48, 40));
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        try {
            DecodeJpeg(whole.left(cut));
            ADD_FAILURE() << "decoded with " << cut << " of " << whole.size() << " bytes";
        } catch (const EIlxError&) {
        }
    }
}

TEST(JpegCodec, HugeDeclaredSizeIsRefusedBeforeAllocation)
{
    QByteArray jpeg = EncodeJpeg(scene(64, 48), 80);
    const qsizetype sof = markerAt(jpeg, 0xC0);
    ASSERT_GT(sof, 0);
    // Height and width fields of the frame header: 60000 x 60000.
    jpeg[sof + 5] = char(0xEA);
    jpeg[sof + 6] = char(0x60);
    jpeg[sof + 7] = char(0xEA);
    jpeg[sof + 8] = char(0x60);
    try {
        DecodeJpeg(jpeg);
        FAIL() << "decoded a 60000 x 60000 picture";
    } catch (const EIlxError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("too large"))) << e.what();
    }
}

TEST(JpegCodec, FileWriteReplacesAtomicallyAndFailsCleanly)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("ILX 2024-05-17 14-03-59-042.jpg"));
    dir.write(QStringLiteral("ILX 2024-05-17 14-03-59-042.jpg"), "old contents");
    WriteJpegFile(path, scene(80, 60), 75);
    EXPECT_EQ(ReadJpegFile(path).size(), QSize(80, 60));
    // No temporary file is left beside the picture.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    EXPECT_THROW(WriteJpegFile(dir.file(QStringLiteral("missing/x.jpg")), scene(8, 8), 75),
                 EIlxError);
    EXPECT_THROW(ReadJpegFile(dir.file(QStringLiteral("nothing.jpg"))), EIlxError);
    dir.write(QStringLiteral("cut.jpg"), EncodeJpeg(scene(80, 60), 75).left(300));
    EXPECT_THROW(ReadJpegFile(dir.file(QStringLiteral("cut.jpg"))), EIlxError);
}
