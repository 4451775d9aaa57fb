#include "SavePicture.h"

#include "Clock.h"
#include "EIlxError.h"
#include "JpegCodec.h"
#include "ModalAnswerer.h"
#include "PictureName.h"
#include "ScratchDir.h"

#include <QDir>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

QImage flat(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

class SavePictureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.Folder = dir.path();
        settings.Prefix = QStringLiteral("ILX");
        settings.Quality = 90;
    }
    void TearDown() override { SetClockSource({}); }

    QStringList pictures() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    ScratchDir dir;
    TPictureSettings settings;
};

} // namespace

TEST_F(SavePictureTest, SavedPictureIsNamedByTheOneClockReadingAndStamped)
{
    // Each reading moves on a millisecond, starting one before midnight, so a
    // second reading would give a different day in name or stamp.
    int readings = 0;
    SetClockSource([&] {
        return QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999)).addMSecs(readings++);
    });
    const QImage frame = flat(352, 288, qRgb(40, 90, 160));
    const QImage untouched = frame.copy();
    const QString name = SavePicture(nullptr, frame, settings);
    EXPECT_EQ(readings, 1);
    EXPECT_EQ(name, dir.path() + QStringLiteral("/ILX 2024-12-31 23-59-59-999.jpg"));
    EXPECT_EQ(pictures(), QStringList{QStringLiteral("ILX 2024-12-31 23-59-59-999.jpg")});
    EXPECT_EQ(frame, untouched);

    const QImage saved = ReadJpegFile(name);
    ASSERT_EQ(saved.size(), frame.size());
    // Away from the stamp the picture is the frame; in the corner it is not.
    const QColor topLeft = saved.pixelColor(10, 10);
    EXPECT_NEAR(topLeft.red(), 40, 6);
    EXPECT_NEAR(topLeft.blue(), 160, 6);
    int bright = 0;
    for (int y = 260; y < 288; ++y)
        for (int x = 280; x < 352; ++x)
            bright += saved.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(bright, 20);
}

TEST_F(SavePictureTest, WithoutStampOrFrameThePictureIsTheFrame)
{
    SetClockSource([] { return QDateTime(QDate(2024, 5, 17), QTime(14, 3, 59, 7)); });
    settings.DateStamp = false;
    settings.Prefix = QStringLiteral("A");
    const QString name = SavePicture(nullptr, flat(64, 48, qRgb(200, 30, 30)), settings);
    EXPECT_TRUE(name.endsWith(QStringLiteral("/A 2024-05-17 14-03-59-007.jpg")));
    const QImage saved = ReadJpegFile(name);
    for (const QPoint p : {QPoint(0, 0), QPoint(63, 47), QPoint(60, 45)})
        EXPECT_NEAR(saved.pixelColor(p).red(), 200, 6);
}

TEST_F(SavePictureTest, ScanFrameOutlineIsSavedWhenShown)
{
    SetClockSource([] { return QDateTime(QDate(2024, 5, 17), QTime(14, 3, 59, 42)); });
    settings.DateStamp = false;
    settings.FrameShown = true;
    settings.Frame = {0, 0, 100, 100};
    const QImage saved = ReadJpegFile(SavePicture(nullptr, flat(64, 48, qRgb(0, 0, 0)), settings));
    EXPECT_GT(saved.pixelColor(0, 20).lightness(), 150);
    EXPECT_GT(saved.pixelColor(30, 47).lightness(), 150);
    EXPECT_LT(saved.pixelColor(30, 20).lightness(), 60);
}

TEST_F(SavePictureTest, NoFrameWritesNothingAndSaysNothing)
{
    EXPECT_TRUE(SavePicture(nullptr, QImage(), settings).isEmpty());
    EXPECT_TRUE(pictures().isEmpty());
}

TEST_F(SavePictureTest, FailedWriteWarnsWithTheNameAndReturnsNoName)
{
    SetClockSource([] { return QDateTime(QDate(2024, 5, 17), QTime(14, 3, 59, 42)); });
    settings.Folder = dir.file(QStringLiteral("gone"));
    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
    const QString name = SavePicture(nullptr, flat(32, 32, qRgb(1, 2, 3)), settings);
    EXPECT_TRUE(name.isEmpty());
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(answer.text(), QStringLiteral("Error: Unable to save picture:\n") + dir.path() +
                                 QStringLiteral("/gone/ILX 2024-05-17 14-03-59-042.jpg"));
    // The throwing form reports the same text to callers that show it themselves.
    try {
        WritePicture(flat(8, 8, qRgb(0, 0, 0)), settings, IlxNow());
        FAIL() << "wrote into a missing folder";
    } catch (const EIlxError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Error: Unable to save picture:\n")));
    }
}
