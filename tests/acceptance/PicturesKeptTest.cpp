// The pictures folder kept within the "Watch" page's limits while the program
// watches, and the disk's free-space floor, as a user meets them: pictures
// saved by detections of the scripted camera, limits set in the options.
#include "Program.h"

#include "DiskSpace.h"
#include "PictureName.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TScanController.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

constexpr qint64 KB = 1024;
constexpr qint64 MB = 1024 * KB;

class PicturesKept : public ::testing::Test
{
protected:
    ~PicturesKept() override { SetDiskSpaceSource({}); }

    // A file in the pictures folder, as another program or the user left it.
    void Put(const QString& name, const QByteArray& bytes) const
    {
        app.dir.write(QStringLiteral("Captures/") + name, bytes);
    }
    // A picture-shaped JPEG taken `days` days ago (negative: in the future).
    QString OldPicture(double days, qint64 size,
                       const QString& prefix = QStringLiteral("ILX")) const
    {
        const QDateTime when = QDateTime::currentDateTime().addMSecs(qint64(-days * 86400000));
        const QString name = QFileInfo(PictureFileName({}, prefix, when)).fileName();
        Put(name, Jpeg(size));
        return name;
    }
    static QByteArray Jpeg(qint64 size)
    {
        QByteArray bytes(size, 'x');
        bytes.replace(0, 3, QByteArray("\xFF\xD8\xFF", 3));
        return bytes;
    }
    bool Exists(const QString& name) const
    {
        return QFileInfo::exists(app.CapturesFolder() + QLatin1Char('/') + name);
    }
    QString LastImage() const { return app.Form().Scan().LastImage(); }
    // One detection of the scripted camera and its picture's save, whatever
    // the limits deleted meanwhile.
    bool Detection()
    {
        const int before = app.Form().DetectionCount();
        if (!WaitFor([&] { return app.Info().startsWith(QStringLiteral("Scanning: ")); }, 5000))
            return false;
        Program::Pause(300);
        QImage changed = app.Picture();
        changed.invertPixels();
        app.SetPicture(changed);
        return WaitFor([&] { return app.Form().DetectionCount() > before; }, 5000);
    }

    Program app;
};

} // namespace

// "Keep at most 1 MB" and a 1.2 MB picture named for 2030: it goes, and the
// pictures of this run stay.
TEST_F(PicturesKept, AFutureDatedPictureGoesBeforeThePicturesOfThisRun)
{
    app.Store("iLXLE_IMAGE.DAT", "KeepMB", "1");
    const QString future = QStringLiteral("ILX 2030-01-01 00-00-00-000.jpg");
    Put(future, Jpeg(1200 * KB));
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(Detection());
    const QString first = LastImage();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(first)) << "the picture just taken stays";
    EXPECT_FALSE(Exists(future)) << "the future counts as older than this run";
    ASSERT_TRUE(Detection());
    EXPECT_TRUE(QFileInfo::exists(first)) << "both fit within 1 MB";
    EXPECT_TRUE(QFileInfo::exists(LastImage()));
    EXPECT_EQ(app.Pictures().size(), 2);
}

// "Keep pictures at most 7 days" with the user's own files in the folder, and
// a picture copied in by someone else while the program runs. An earlier run
// saved under "CAM": its pictures are the program's too.
TEST_F(PicturesKept, TheDaysLimitTakesOnlyThisProgramsPicturesAndSeesOnesAddedMeanwhile)
{
    app.Store("iLXLE_IMAGE.DAT", "KeepDays", "7");
    app.Store("iLXLE_IMAGE.DAT", "PicturePrefixes", "CAM");
    const QString cam = OldPicture(30, 10 * KB, QStringLiteral("CAM"));
    const QStringList theirs = {
        QStringLiteral("Mum 2019-07-14 12-00-00-000.jpg"),
        QStringLiteral("ILX 2019-07-14 12-00-00-000.JPG"),
        QStringLiteral("ILX 2019-07-14 12-00-00-001.jpg"), // one byte
    };
    Put(theirs[0], Jpeg(20 * KB));
    Put(theirs[1], Jpeg(20 * KB));
    Put(theirs[2], "x");
    const QString old = OldPicture(30, 10 * KB);
    const QString recent = OldPicture(2, 10 * KB);
    app.Start();
    EXPECT_FALSE(Exists(old)) << "past the limit at start";
    EXPECT_FALSE(Exists(cam));
    EXPECT_TRUE(Exists(recent));

    app.Key(Qt::Key_F5);
    ASSERT_TRUE(Detection());
    // Past the file system clock's tick of our own save (a few ms where
    // timestamps are coarse), as a person copying a file would be.
    Program::Pause(50);
    const QString copied = OldPicture(20, 10 * KB);
    ASSERT_TRUE(Detection());
    EXPECT_FALSE(Exists(copied)) << "a picture added while the program runs counts";
    for (const QString& name : theirs)
        EXPECT_TRUE(Exists(name)) << name.toStdString() << " is the user's";
    EXPECT_TRUE(Exists(recent));
    EXPECT_EQ(app.dir.read(QStringLiteral("Captures/") + theirs[2]), "x");
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "PicturePrefixes"), "CAM ILX")
        << "the prefix saved under is remembered for later runs";
}

// A lower limit applied in the options deletes at once, not at the next
// detection, and the last picture then names one that is still there.
TEST_F(PicturesKept, ALowerLimitAppliedInTheOptionsDeletesAtOnce)
{
    const QString oldest = OldPicture(10, 10 * KB);
    const QString older = OldPicture(6, 10 * KB);
    const QString today = OldPicture(0.01, 10 * KB);
    app.Store("iLXLE_IMAGE.DAT", "LastImage", app.CapturesFolder() + QLatin1Char('/') + older);
    app.Start();
    ASSERT_TRUE(Exists(oldest) && Exists(older)) << "no limit yet";

    app.OpenOptionsPage(QStringLiteral("Watch"));
    app.Type(app.Options().SpinEditKeepDays, QStringLiteral("5"));
    EXPECT_TRUE(Exists(oldest)) << "typed, not yet applied";
    app.Click(QStringLiteral("BitBtnApply"), Qt::LeftButton, {}, &app.Options());
    EXPECT_FALSE(Exists(oldest));
    EXPECT_FALSE(Exists(older));
    EXPECT_TRUE(Exists(today));
    EXPECT_EQ(LastImage(), app.CapturesFolder() + QLatin1Char('/') + today)
        << "the newest picture left";
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options());
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "KeepDays"), "5");
}

// A 2 TB disk with 15 GB free has room for pictures; one about to fill is
// refused, and the warning says why.
TEST_F(PicturesKept, TheFreeSpaceFloorRefusesAPictureOnlyWhenTheDiskIsAboutToFill)
{
    constexpr qint64 GB = 1024 * MB;
    qint64 free = 15 * GB;
    SetDiskSpaceSource([&](const QString&) { return TDiskSpace{free, 2048 * GB}; });
    app.Start();
    app.Key(Qt::Key_F5);
    {
        ModalAnswerer none(PressMessageBoxButton(QMessageBox::Ok), 5000);
        ASSERT_TRUE(Detection());
        EXPECT_FALSE(none.answered()) << none.text().toStdString();
    }
    EXPECT_TRUE(app.Scanning());
    ASSERT_EQ(app.Pictures().size(), 1);

    free = 50 * MB;
    ModalAnswerer warning(PressMessageBoxButton(QMessageBox::Ok), 8000);
    ASSERT_TRUE(Detection());
    ASSERT_TRUE(WaitFor([&] { return warning.answered(); }, 5000));
    const QStringList lines = warning.text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << warning.text().toStdString();
    EXPECT_EQ(lines[0], "Error: Unable to save picture:");
    EXPECT_TRUE(lines[1].startsWith(app.CapturesFolder() + "/ILX ")) << lines[1].toStdString();
    EXPECT_EQ(lines[2],
              "Only 50 MB is free on the disk of the pictures folder, and 100 MB is kept free.");
    EXPECT_FALSE(app.Scanning());
    EXPECT_EQ(app.Pictures().size(), 1);
}
