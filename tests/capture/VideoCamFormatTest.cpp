#include "ScratchDir.h"
#include "VideoCamFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

TEST_F(VideoCamFixture, FormatSizesAreZeroWithoutACaptureWindow)
{
    EXPECT_EQ(cam->VideoWidth(), 0);
    EXPECT_EQ(cam->VideoHeight(), 0);
    EXPECT_EQ(cam->VideoBitCount(), 0);
    EXPECT_FALSE(cam->SetVideoFormat(176, 144, 24));

    Connect();
    EXPECT_EQ(cam->VideoWidth(), 320);
    EXPECT_EQ(cam->VideoHeight(), 240);
    EXPECT_EQ(cam->VideoBitCount(), 24);

    cam->SetActive(false);
    EXPECT_EQ(cam->VideoWidth(), 0);
    EXPECT_EQ(cam->VideoBitCount(), 0);
}

TEST_F(VideoCamFixture, SetVideoFormatKeepsTheDepthUnlessAStandardOneIsGiven)
{
    VideoFormat palette;
    palette.header.width = 320;
    palette.header.height = 240;
    palette.header.bitCount = 8;
    palette.header.clrUsed = 256;
    palette.header.compression = 3;
    palette.header.xPelsPerMeter = 2835;
    palette.colourData = QByteArray(1024, '\x7f');
    driver->setInitialFormat(palette);
    Connect();

    ASSERT_TRUE(cam->SetVideoFormat(352, 288, 0));
    auto f = driver->videoFormat();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->header.width, 352);
    EXPECT_EQ(f->header.height, 288);
    EXPECT_EQ(f->header.bitCount, 8);
    EXPECT_EQ(f->header.planes, 1);
    EXPECT_EQ(f->header.compression, 0u);
    EXPECT_EQ(f->header.clrUsed, 0u);
    EXPECT_EQ(f->header.sizeImage, 0u);
    EXPECT_EQ(f->header.xPelsPerMeter, 2835); // resolution and colour table as read
    EXPECT_EQ(f->colourData, QByteArray(1024, '\x7f'));

    ASSERT_TRUE(cam->SetVideoFormat(320, 240, 12));
    EXPECT_EQ(driver->videoFormat()->header.bitCount, 8);
    ASSERT_TRUE(cam->SetVideoFormat(160, 120, 24));
    EXPECT_EQ(cam->VideoBitCount(), 24);
    EXPECT_EQ(cam->VideoWidth(), 160);
}

TEST_F(VideoCamFixture, RefusedFormatNamesTheValuesAsPassed)
{
    driver->setFormatFilter([](const VideoFormat& f) { return f.header.width <= 352; });
    Connect();
    EXPECT_EQ(ErrorOf([&] { cam->SetVideoFormat(800, 600, 12); }),
              "Video format not valid:\nWidth: 800\nHeight: 600\nBit per pixel: 12");
    EXPECT_EQ(cam->VideoWidth(), 320); // the old format stays
    cam->SetEnglishMessages(false);
    EXPECT_EQ(ErrorOf([&] { cam->SetVideoFormat(1024, 768, 24); }),
              QString::fromUtf8(
                  "Format vidéo non valide:\nLargeur: 1024\nHauteur: 768\nBit par pixel: 24"));
}

TEST_F(VideoCamFixture, FormatFilesKeepTheHeaderAndRestoreIt)
{
    ScratchDir dir;
    const QString def = dir.file("iLXLE_DEF.VID");
    EXPECT_FALSE(cam->SaveVideoFormat(def)); // inactive
    EXPECT_FALSE(QFile::exists(def));

    Connect();
    ASSERT_TRUE(cam->SaveVideoFormat(def));
    const QByteArray bytes = dir.read("iLXLE_DEF.VID");
    ASSERT_EQ(bytes.size(), 40);
    EXPECT_EQ(BitmapInfoHeader::fromBytes(bytes), driver->videoFormat()->header);

    ASSERT_TRUE(cam->SetVideoFormat(176, 144, 0));
    ASSERT_TRUE(cam->LoadVideoFormat(def));
    EXPECT_EQ(cam->VideoWidth(), 320);
    EXPECT_EQ(cam->VideoHeight(), 240);

    // A refusal is an answer, not a failure.
    driver->setFormatFilter([](const VideoFormat&) { return false; });
    EXPECT_FALSE(cam->LoadVideoFormat(def));
}

TEST_F(VideoCamFixture, BrokenFormatFilesAreRefusedBeforeTheDriverSeesThem)
{
    ScratchDir dir;
    Connect();
    dir.write("short.VID", QByteArray(39, '\0'));
    BitmapInfoHeader huge;
    huge.width = 2000000;
    huge.height = 2000000;
    huge.bitCount = 24;
    dir.write("huge.VID", huge.toBytes());
    BitmapInfoHeader wrongSize;
    wrongSize.size = 0xFFFFFFFF;
    wrongSize.width = 320;
    wrongSize.height = 240;
    wrongSize.bitCount = 24;
    dir.write("header.VID", wrongSize.toBytes());
    // Bytes after the header are ignored, as the file holds only the header.
    BitmapInfoHeader fine;
    fine.width = 176;
    fine.height = 144;
    fine.bitCount = 24;
    dir.write("long.VID", fine.toBytes() + QByteArray(100, 'x'));

    // A file that cannot be read is an error naming it.
    for (const char* name : {"short.VID", "missing.VID"}) {
        driver->clearCalls();
        const QString text = ErrorOf([&] { cam->LoadVideoFormat(dir.file(name)); });
        EXPECT_TRUE(text.contains(dir.file(name))) << text.toStdString();
        EXPECT_FALSE(driver->calls().join(' ').contains("setFormat")) << name;
    }
    // A header that is no format is refused, as the driver would refuse it.
    for (const char* name : {"huge.VID", "header.VID"}) {
        driver->clearCalls();
        EXPECT_FALSE(cam->LoadVideoFormat(dir.file(name))) << name;
        EXPECT_FALSE(driver->calls().join(' ').contains("setFormat")) << name;
    }
    EXPECT_EQ(cam->VideoWidth(), 320);
    EXPECT_TRUE(cam->LoadVideoFormat(dir.file("long.VID")));
    EXPECT_EQ(cam->VideoWidth(), 176);
}

TEST_F(VideoCamFixture, SavingToAnUnwritablePlaceRaisesAndKeepsNothingHalfWritten)
{
    ScratchDir dir;
    Connect();
    EXPECT_FALSE(
        ErrorOf([&] { cam->SaveVideoFormat(dir.file("no/such/folder/x.VID")); }).isEmpty());
}

TEST_F(VideoCamFixture, GrabWritesAFrameTheScanCanLoad)
{
    ScratchDir dir;
    const QString file = dir.file("~ILXTMP.BMP");
    cam->SetImageFile(file);
    dir.write("~ILXTMP.BMP", "old picture");

    cam->GrabFrame(); // inactive: the old file stays
    EXPECT_EQ(dir.read("~ILXTMP.BMP"), "old picture");
    EXPECT_TRUE(cam->GrabImage().isNull());

    QImage scene(320, 240, QImage::Format_RGB888);
    scene.fill(QColor(10, 200, 30));
    driver->setFrame(scene);
    Connect();
    ASSERT_TRUE(cam->SetVideoFormat(176, 144, 0));
    cam->GrabFrame();
    const QImage loaded(file);
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.size(), QSize(176, 144));
    EXPECT_EQ(loaded.pixelColor(88, 72), QColor(10, 200, 30));
    EXPECT_EQ(cam->GrabImage().size(), QSize(176, 144));
}
