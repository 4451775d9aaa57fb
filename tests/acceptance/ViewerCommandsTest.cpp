// The viewer's own commands, in the viewer opened from the main window:
// navigation buttons and keys, the typed number, the slide show, copy,
// delete and print, by their buttons, keys and pop-up menu.
#include "Program.h"

#include "JpegCodec.h"
#include "TFormMainLE.h"
#include "TFormView.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

const QStringList kNames = {
    QStringLiteral("ILX 2020-01-06 10-00-00-000.jpg"),
    QStringLiteral("ILX 2020-01-06 11-00-00-000.jpg"),
    QStringLiteral("ILX 2020-01-07 08-00-00-000.jpg"),
    QStringLiteral("ILX 2020-01-07 09-00-00-000.jpg"),
};

class ViewerCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < kNames.size(); ++i)
            WriteJpegFile(app.CapturesFolder() + "/" + kNames[i],
                          FlatPicture(64, 48, qRgb(40 * i, 80, 200 - 40 * i)), 80);
        app.Start();
    }

    // Opens the viewer with F9, runs `inside`, closes it.
    void InViewer(const std::function<void(TFormView&)>& inside)
    {
        ModalAnswerer viewer([&](QWidget* modal) {
            auto& view = *qobject_cast<TFormView*>(modal);
            // No picture of today: the viewer opens on "All days".
            EXPECT_EQ(view.findChild<QComboBox*>(QStringLiteral("ComboBoxDate"))->currentIndex(),
                      0);
            inside(view);
            if (view.isVisible())
                view.close();
        });
        app.Key(Qt::Key_F9);
        ASSERT_TRUE(viewer.answered());
    }
    void Press(TFormView& view, const char* button)
    {
        app.Click(QString::fromLatin1(button), Qt::LeftButton, {}, &view);
    }

    Program app;
};

} // namespace

TEST_F(ViewerCommands, ButtonsKeysNumberAndTrackBarMoveThroughThePictures)
{
    InViewer([&](TFormView& view) {
        ASSERT_EQ(view.ShownList().size(), 4);
        EXPECT_EQ(view.CurrentIndex(), 0);
        Press(view, "RxSpeedButtonLast");
        EXPECT_EQ(view.CurrentIndex(), 3);
        Press(view, "RxSpeedButtonPrevious");
        EXPECT_EQ(view.CurrentIndex(), 2);
        Press(view, "RxSpeedButtonFirst");
        EXPECT_EQ(view.CurrentIndex(), 0);
        Press(view, "RxSpeedButtonNext");
        EXPECT_EQ(view.CurrentIndex(), 1);
        app.Key(Qt::Key_Down);
        EXPECT_EQ(view.CurrentIndex(), 2);
        app.Key(Qt::Key_Up);
        EXPECT_EQ(view.CurrentIndex(), 1);

        app.Type(view.findChild<QLineEdit*>(QStringLiteral("EditIndex")), QStringLiteral("9"));
        app.Key(Qt::Key_Return);
        EXPECT_EQ(view.CurrentIndex(), 3) << "past the count: the last picture";

        auto* track = view.findChild<QSlider*>(QStringLiteral("TrackBar"));
        app.ClickAt(track, QPoint(track->width() / 2, track->height() / 2));
        app.Key(Qt::Key_Home);
        EXPECT_EQ(view.CurrentIndex(), 0);
    });
}

TEST_F(ViewerCommands, SlideShowRunsToTheLastPictureThenBackToTheFirst)
{
    InViewer([&](TFormView& view) {
        Press(view, "SpeedButtonPlay");
        EXPECT_TRUE(WaitFor([&] { return view.CurrentIndex() == 3; }, 4000));
        EXPECT_TRUE(WaitFor([&] { return view.CurrentIndex() == 0; }, 2000));
    });
}

TEST_F(ViewerCommands, CtrlCCopiesAndCtrlDelDeletesAfterAskingAndTheLastPictureFollows)
{
    QGuiApplication::clipboard()->clear();
    InViewer([&](TFormView& view) {
        Press(view, "RxSpeedButtonLast");
        app.Key(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(64, 48));

        // No: nothing goes.
        {
            ModalAnswerer no(PressMessageBoxButton(QMessageBox::No), 3000, "QMessageBox");
            app.Key(Qt::Key_Delete, Qt::ControlModifier);
            ASSERT_TRUE(no.answered());
            EXPECT_TRUE(no.text().startsWith("Do you want to delete this picture\n"));
        }
        EXPECT_TRUE(QFile::exists(app.CapturesFolder() + "/" + kNames[3]));
        // Yes: the file goes, the viewer moves on.
        ModalAnswerer yes(PressMessageBoxButton(QMessageBox::Yes), 3000, "QMessageBox");
        app.Key(Qt::Key_Delete, Qt::ControlModifier);
        ASSERT_TRUE(yes.answered());
        EXPECT_FALSE(QFile::exists(app.CapturesFolder() + "/" + kNames[3]));
        EXPECT_EQ(view.ShownList().size(), 3);
    });
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "LastImage"), app.CapturesFolder() + "/" + kNames[2]);
}

TEST_F(ViewerCommands, PopUpMenuAndCtrlPOfferTheSameCommands)
{
    InViewer([&](TFormView& view) {
        auto* popup = view.findChild<QMenu*>(QStringLiteral("PopupMenu"));
        ASSERT_NE(popup, nullptr);
        app.Click(QStringLiteral("Image"), Qt::RightButton, {}, &view);
        ASSERT_TRUE(WaitFor([&] { return popup->isVisible(); }, 2000));
        QAction* copy = view.findChild<QAction*>(QStringLiteral("MenuItemCopy"));
        QGuiApplication::clipboard()->clear();
        app.ClickAt(popup, popup->actionGeometry(copy).center());
        EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());

        // Ctrl+P opens the print dialog; cancelled, nothing prints.
        ModalAnswerer print([](QWidget* dialog) { dialog->close(); }, 3000, "QDialog");
        app.Key(Qt::Key_P, Qt::ControlModifier);
        EXPECT_TRUE(print.answered());
        EXPECT_FALSE(view.Printing());
    });
}
