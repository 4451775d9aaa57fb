// The picture viewer as a user reaches it from the main window: F9, its
// button and menu item, the pictures it lists, its help, the last picture.
#include "Program.h"

#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TFormView.h"
#include "THelpWindow.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

class Viewer : public ::testing::Test
{
protected:
    // Opens the viewer with `open`, lets `inside` look at it, then closes it.
    void View(const std::function<void()>& open, const std::function<void(TFormView&)>& inside)
    {
        ModalAnswerer viewer([&](QWidget* modal) {
            auto* view = qobject_cast<TFormView*>(modal);
            if (view)
                inside(*view);
            modal->close();
        });
        open();
        EXPECT_TRUE(viewer.answered());
        EXPECT_EQ(viewer.title(), "View pictures catched");
    }

    Program app;
};

} // namespace

TEST_F(Viewer, PicturesTakenWithAShortPrefixAreListedAndBecomeTheLastPicture)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    app.Type(app.Options().LabeledEditPrefix, QStringLiteral("AB"));
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, Qt::NoModifier, &app.Options());
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "Prefix"), "AB");

    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    ASSERT_TRUE(app.Detect()) << app.Info().toStdString();
    const QString picture = app.Pictures().first();
    EXPECT_TRUE(picture.startsWith("AB ")) << picture.toStdString();
    app.Key(Qt::Key_F5);
    ASSERT_FALSE(app.Scanning());

    QStringList listed;
    View([&] { app.Key(Qt::Key_F9); }, [&](TFormView& view) { listed = view.ShownList(); });
    EXPECT_EQ(listed, QStringList{picture});

    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_IMAGE.DAT", "LastImage"), app.CapturesFolder() + "/" + picture)
        << "closing the viewer kept the picture as the last one";
}

TEST_F(Viewer, ButtonAndMenuOpenItAndScanningPausesWhileItIsOpen)
{
    app.Start();
    View([&] { app.Click(QStringLiteral("RxSpeedButtonPreview")); }, [](TFormView&) {});
    View([&] { ASSERT_TRUE(app.Menu({"&File", "View pictures &catched"})); }, [](TFormView&) {});

    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    // While scanning, its commands are locked; F9 does nothing.
    ModalAnswerer none([](QWidget* modal) { modal->close(); }, 600);
    app.Key(Qt::Key_F9);
    Program::Pause(700);
    EXPECT_FALSE(none.answered());
}

TEST_F(Viewer, HelpRequestsInTheViewerShowItsTopics)
{
    app.Start();
    THelpWindow* help = app.Form().HelpWindow();
    ASSERT_TRUE(help->LastPopupHtml().isEmpty());
    View([&] { app.Key(Qt::Key_F9); },
         [&](TFormView& view) {
             // F1 on the day list: the viewer's own topic as a pop-up.
             view.findChild<QComboBox*>(QStringLiteral("ComboBoxDate"))->setFocus();
             app.Key(Qt::Key_F1);
         });
    EXPECT_FALSE(help->LastPopupHtml().isEmpty()) << "F1 in the viewer showed no help";
}
