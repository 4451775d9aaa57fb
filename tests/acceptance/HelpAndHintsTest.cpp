// What tells the user what is going on without a dialog: hints in the first
// status panel, help mode, "What is it ?", the help window.
#include "Program.h"

#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "THelpWindow.h"
#include "TStatusBarVideo.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QWhatsThis>

#include <gtest/gtest.h>

namespace {

class HelpAndHints : public ::testing::Test
{
protected:
    THelpWindow& Help() const { return *app.Form().HelpWindow(); }
    QString Popup(int topic) const { return Help().HelpFile().PopupHtml(topic); }
    bool HelpMode() const { return app.Form().HelpMode(); }

    Program app;
};

} // namespace

TEST_F(HelpAndHints, HintsOfTheOptionsWindowShowInTheMainStatusBar)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Hover(app.Options().SpinEditDelta);
    EXPECT_EQ(app.StatusHint(), "% of difference between 2 pictures");
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    app.Hover(app.Options().LabeledEditPrefix);
    EXPECT_EQ(app.StatusHint(), "Prefix for picture filename");
}

TEST_F(HelpAndHints, TheHintOfAButtonJustClickedIsItsNewOne)
{
    app.Start();
    QWidget* scan = app.Widget(QStringLiteral("RxSpeedButtonAnalyse"));
    app.Hover(scan);
    EXPECT_EQ(app.StatusHint(), "Activate scanning");
    app.Click(QStringLiteral("RxSpeedButtonAnalyse"));
    ASSERT_TRUE(app.Scanning());
    EXPECT_EQ(app.StatusHint(), "Deactivate scanning") << "without leaving the button";
    app.Click(QStringLiteral("RxSpeedButtonAnalyse"));
    EXPECT_EQ(app.StatusHint(), "Activate scanning");

    QWidget* connect = app.Widget(QStringLiteral("RxSpeedButtonConnect"));
    app.Hover(connect);
    EXPECT_EQ(app.StatusHint(), "Disconnect video");
    app.Click(QStringLiteral("RxSpeedButtonConnect"));
    ASSERT_FALSE(app.VideoOn());
    EXPECT_EQ(app.StatusHint(), "Connect video");
}

TEST_F(HelpAndHints, HelpModeExplainsControlsYetLeavesTheMenusToTheMouse)
{
    app.Start();
    app.Click(QStringLiteral("RxSpeedButtonHelp"));
    ASSERT_TRUE(HelpMode());
    EXPECT_TRUE(app.Action(QStringLiteral("MenuItemWhatsThis"))->isChecked());

    // A left click on a control tells about it and does nothing else.
    app.Click(QStringLiteral("RxSpeedButtonConnect"));
    EXPECT_TRUE(app.VideoOn()) << "the click did not switch the video";
    EXPECT_EQ(Help().LastPopupHtml(), Popup(20070));
    QWhatsThis::hideText();

    // The menus open as usual, and "What is it ?" ends help mode.
    ASSERT_TRUE(app.Menu({"?", "&What is it ?"}));
    EXPECT_FALSE(HelpMode());
    EXPECT_FALSE(app.Action(QStringLiteral("MenuItemWhatsThis"))->isChecked());

    // Back on through the menu, off through the button.
    ASSERT_TRUE(app.Menu({"?", "&What is it ?"}));
    EXPECT_TRUE(HelpMode());
    app.Click(QStringLiteral("RxSpeedButtonHelp"));
    EXPECT_FALSE(HelpMode());
}

TEST_F(HelpAndHints, RightPressOffersWhatIsItForTheControlUnderThePointer)
{
    app.Start();
    auto* popup = app.Form().findChild<QMenu*>(QStringLiteral("WhatsThisPopupmenu"));
    app.Click(QStringLiteral("VideoCam"), Qt::RightButton);
    ASSERT_TRUE(WaitFor([&] { return popup->isVisible(); }, 2000));
    QAction* item = app.Form().findChild<QAction*>(QStringLiteral("PopupWhatsThis"));
    app.ClickAt(popup, popup->actionGeometry(item).center());
    EXPECT_EQ(Help().LastPopupHtml(), Popup(20020));
    QWhatsThis::hideText();
}

TEST_F(HelpAndHints, F1OpensTheHelpContents)
{
    app.Start();
    app.Key(Qt::Key_F1);
    EXPECT_TRUE(Help().isVisible());
    EXPECT_EQ(Help().CurrentTopic(), 0) << "the contents, not a topic";
    Help().close();
    ASSERT_TRUE(app.Menu({"?", "&Help"}));
    EXPECT_TRUE(Help().isVisible());
}

// F1 on a highlighted menu item tells about that item: the scheduler's
// "Ac&tivate", reached by the keyboard, as its button does.
TEST_F(HelpAndHints, F1OnAHighlightedMenuItemTellsAboutIt)
{
    app.Start();
    auto* video = app.Form().findChild<QMenu*>(QStringLiteral("MenuItemVideo"));
    ASSERT_NE(video, nullptr);
    app.Key(Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return video->isVisible(); }, 2000));
    QTest::keyClick(video, Qt::Key_H); // "Sc&heduler"
    auto* scheduler = app.Form().findChild<QMenu*>(QStringLiteral("MenuItemScheduler"));
    ASSERT_TRUE(WaitFor([&] { return scheduler->isVisible(); }, 2000));
    if (!scheduler->activeAction())
        QTest::keyClick(scheduler, Qt::Key_Down);
    ASSERT_EQ(scheduler->activeAction(), app.Action(QStringLiteral("MenuItemSchedulerActivate")));
    QTest::keyClick(scheduler, Qt::Key_F1);
    EXPECT_EQ(Help().LastPopupHtml(), Popup(20210));
    EXPECT_FALSE(scheduler->isVisible()) << "the menus close for the help";
    EXPECT_FALSE(Help().isVisible()) << "a popup, not the contents";
    QWhatsThis::hideText();
}
