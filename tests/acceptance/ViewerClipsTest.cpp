// Event clips in the viewer opened from the main window: the mark of a
// picture with a clip, playing it by key and pop-up menu, and copy and
// delete taking the clip along with its picture.
#include "Program.h"

#include "JpegCodec.h"
#include "TClipPlayer.h"
#include "TFormMainLE.h"
#include "TFormView.h"
#include "TPictureBox.h"
#include "TestClip.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using TState = TClipPlayer::TState;

// The first has a clip, the second none, the third a clip that is no video.
const QStringList kNames = {
    QStringLiteral("ILX 2020-01-06 10-00-00-000.jpg"),
    QStringLiteral("ILX 2020-01-06 11-00-00-000.jpg"),
    QStringLiteral("ILX 2020-01-07 08-00-00-000.jpg"),
};

QString clipOf(const QString& name)
{
    return name.chopped(4) + QStringLiteral(".mp4");
}

// Pixels only: a frame and a decoded picture differ in format anyway.
bool samePixels(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

class ViewerClips : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The clips' size, so a frame and the picture compare pixel by pixel.
        for (int i = 0; i < kNames.size(); ++i)
            WriteJpegFile(path(kNames[i]), FlatPicture(176, 144, qRgb(60 * i, 90, 160)), 80);
        ASSERT_EQ(MakeTestClip(path(clipOf(kNames[0])), 30), QString());
        app.dir.write(QStringLiteral("Captures/") + clipOf(kNames[2]), "not a video");
        app.Start();
    }

    QString path(const QString& name) const { return app.CapturesFolder() + "/" + name; }

    void InViewer(const std::function<void(TFormView&)>& inside)
    {
        ModalAnswerer viewer([&](QWidget* modal) {
            auto& view = *qobject_cast<TFormView*>(modal);
            inside(view);
            if (view.isVisible())
                view.close();
        });
        app.Key(Qt::Key_F9);
        ASSERT_TRUE(viewer.answered());
    }
    static QLabel* mark(TFormView& view)
    {
        return view.findChild<QLabel*>(QStringLiteral("LabelClip"));
    }
    static const QImage& shown(TFormView& view)
    {
        return view.findChild<TPictureBox*>(QStringLiteral("Image"))->Picture();
    }
    void PopupItem(TFormView& view, const char* item)
    {
        auto* popup = view.findChild<QMenu*>(QStringLiteral("PopupMenu"));
        app.Click(QStringLiteral("Image"), Qt::RightButton, {}, &view);
        ASSERT_TRUE(WaitFor([&] { return popup->isVisible(); }, 2000));
        QAction* action = view.findChild<QAction*>(QLatin1String(item));
        ASSERT_TRUE(action->isEnabled()) << item;
        app.ClickAt(popup, popup->actionGeometry(action).center());
    }

    Program app;
};

} // namespace

TEST_F(ViewerClips, APictureWithAClipIsMarkedAndItsClipPlaysPausesAndGivesWayToThePicture)
{
    InViewer([&](TFormView& view) {
        ASSERT_EQ(view.ShownList(), kNames);
        ASSERT_TRUE(mark(view)->isVisible()) << "the picture with a clip has no mark";
        EXPECT_EQ(mark(view)->text(), "Video clip");
        const QImage picture = shown(view);
        ASSERT_EQ(picture.size(), QSize(176, 144));

        app.Key(Qt::Key_V);
        ASSERT_TRUE(WaitFor([&] { return !samePixels(shown(view), picture); }))
            << "no frame of the clip took the picture's place";
        EXPECT_EQ(shown(view).size(), QSize(176, 144));
        EXPECT_EQ(mark(view)->text(), "Video clip: playing");

        app.Key(Qt::Key_V);
        EXPECT_EQ(view.ClipPlayer().State(), TState::Paused);
        EXPECT_EQ(mark(view)->text(), "Video clip: paused");
        EXPECT_FALSE(samePixels(shown(view), picture)) << "the paused frame stays";

        app.Key(Qt::Key_V); // resumed: back to the picture while frames flow
        app.Key(Qt::Key_Escape);
        EXPECT_EQ(view.ClipPlayer().State(), TState::Stopped);
        Program::Pause(300); // no frame still on its way overwrites the picture
        EXPECT_EQ(shown(view), picture);
        EXPECT_EQ(mark(view)->text(), "Video clip");

        // The pop-up menu plays it too, and it runs to its end on the last frame.
        PopupItem(view, "MenuItemClipPlay");
        ASSERT_TRUE(WaitFor([&] { return view.ClipPlayer().State() == TState::Ended; }, 15000));
        EXPECT_FALSE(samePixels(shown(view), picture));
        EXPECT_EQ(mark(view)->text(), "Video clip: end");
        EXPECT_TRUE(view.findChild<QAction*>(QStringLiteral("MenuItemClipPlay"))->isEnabled());

        // Moving on stops the clip: the next picture has none, so no mark and no command.
        app.Key(Qt::Key_V);
        EXPECT_EQ(view.ClipPlayer().State(), TState::Playing);
        app.Key(Qt::Key_Down);
        EXPECT_EQ(view.CurrentIndex(), 1);
        EXPECT_EQ(view.ClipPlayer().State(), TState::Stopped);
        EXPECT_FALSE(mark(view)->isVisible());
        for (const char* item : {"MenuItemClipPlay", "MenuItemClipPause", "MenuItemClipBack"})
            EXPECT_FALSE(view.findChild<QAction*>(QLatin1String(item))->isEnabled()) << item;
        app.Key(Qt::Key_V);
        EXPECT_EQ(view.ClipPlayer().State(), TState::Stopped);
    });
}

TEST_F(ViewerClips, ADamagedClipIsReportedAndThePictureStays)
{
    InViewer([&](TFormView& view) {
        app.Click(QStringLiteral("RxSpeedButtonLast"), Qt::LeftButton, {}, &view);
        ASSERT_TRUE(mark(view)->isVisible());
        const QImage picture = shown(view);
        ModalAnswerer box(PressMessageBoxButton(QMessageBox::Ok), 15000, "QMessageBox");
        app.Key(Qt::Key_V);
        ASSERT_TRUE(WaitFor([&] { return box.answered(); }, 15000));
        EXPECT_TRUE(
            box.text().startsWith("Unable to play the video clip:\n" + clipOf(kNames[2]) + "\n"))
            << box.text().toStdString();
        EXPECT_EQ(view.ClipPlayer().State(), TState::Stopped);
        EXPECT_EQ(shown(view), picture);
    });
}

TEST_F(ViewerClips, CopyAndDeleteTakeTheClipAlongWithItsPictureAfterAsking)
{
    QGuiApplication::clipboard()->clear();
    InViewer([&](TFormView& view) {
        {
            ModalAnswerer yes(PressMessageBoxButton(QMessageBox::Yes), 3000, "QMessageBox");
            app.Key(Qt::Key_C, Qt::ControlModifier);
            ASSERT_TRUE(yes.answered());
            EXPECT_EQ(yes.text(), "Do you want to copy its video clip too\n" + clipOf(kNames[0]));
        }
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->urls(), (QList<QUrl>{QUrl::fromLocalFile(path(kNames[0])),
                                               QUrl::fromLocalFile(path(clipOf(kNames[0])))}));
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(176, 144));

        // One question says both go; No keeps both.
        {
            ModalAnswerer no(PressMessageBoxButton(QMessageBox::No), 3000, "QMessageBox");
            app.Key(Qt::Key_Delete, Qt::ControlModifier);
            ASSERT_TRUE(no.answered());
            EXPECT_EQ(no.text(), "Do you want to delete this picture\n" + kNames[0] +
                                     "\nIts video clip will be deleted too.");
        }
        EXPECT_TRUE(QFile::exists(path(clipOf(kNames[0]))));
        app.Key(Qt::Key_V); // deleting while it plays stops it first
        ModalAnswerer yes(PressMessageBoxButton(QMessageBox::Yes), 3000, "QMessageBox");
        app.Key(Qt::Key_Delete, Qt::ControlModifier);
        ASSERT_TRUE(yes.answered());
        EXPECT_FALSE(QFile::exists(path(kNames[0])));
        EXPECT_FALSE(QFile::exists(path(clipOf(kNames[0]))));
        EXPECT_EQ(view.ClipPlayer().State(), TState::Stopped);
        EXPECT_EQ(view.ShownList(), kNames.mid(1));
        EXPECT_FALSE(mark(view)->isVisible());
    });
}
