// The scheduler's commands as a user reaches them: F4, the menu, the tool
// button, Ctrl+F4, a right press on the button and the options' box.
#include "Program.h"

#include "TFormMainLE.h"
#include "TFormOptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class SchedulerCommands : public ::testing::Test
{
protected:
    QToolButton* Button() const
    {
        return qobject_cast<QToolButton*>(app.Widget(QStringLiteral("RxSpeedButtonScheduler")));
    }
    bool ButtonDown() const { return Button()->isChecked(); }
    bool MenuChecked() const
    {
        return app.Action(QStringLiteral("MenuItemSchedulerActivate"))->isChecked();
    }
    bool OptionsBox() const { return app.Options().CheckBoxScheduler->isChecked(); }
    // The three signs of the scheduler's state agree with `on`.
    void ExpectShown(bool on) const
    {
        EXPECT_EQ(ButtonDown(), on);
        EXPECT_EQ(MenuChecked(), on);
        EXPECT_EQ(OptionsBox(), on);
    }

    // Deactivates Sunday 00:00 - 01:00 in the open editor and presses OK.
    static void DeactivateSundayNight(Program& app, QWidget* editor)
    {
        QWidget* grid = editor->findChild<QWidget*>(QStringLiteral("DrawGridPeriod"));
        ASSERT_NE(grid, nullptr);
        // Columns are 7 pixels apart, rows 19; row 1 is Sunday.
        app.Drag(grid, QPoint(3, 19 + 9), QPoint(3 * 7 + 3, 19 + 9), Qt::NoModifier);
        app.Click(QStringLiteral("BitBtnDisactivate"), Qt::LeftButton, Qt::NoModifier, editor);
        app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, Qt::NoModifier, editor);
    }

    Program app;
};

} // namespace

TEST_F(SchedulerCommands, F4MenuAndButtonSwitchOneStateThatEverySignShowsAndCloseSaves)
{
    app.Start();
    ASSERT_TRUE(app.VideoOn());
    ExpectShown(false);

    app.Key(Qt::Key_F4);
    ExpectShown(true);

    ASSERT_TRUE(app.Menu({"&Video", "Sc&heduler", "Ac&tivate"}));
    ExpectShown(false);

    app.Click(QStringLiteral("RxSpeedButtonScheduler"));
    ExpectShown(true);

    // The options' box switches it too, and the window follows.
    app.Options().CheckBoxScheduler->click();
    EXPECT_TRUE(WaitFor([&] { return !ButtonDown(); }, 2000));
    ExpectShown(false);

    app.Key(Qt::Key_F4);
    ExpectShown(true);
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Scheduler"), "1");
}

TEST_F(SchedulerCommands, CtrlF4AndTheEditMenuOpenTheEditorAndTheWindowFollowsWhatItSaved)
{
    app.Start();
    EXPECT_EQ(Button()->statusTip(), "No stop programmed") << "no schedule file: scan at all times";

    {
        QString title;
        ModalAnswerer editor([&](QWidget* modal) {
            title = modal->windowTitle();
            DeactivateSundayNight(app, modal);
        });
        app.Key(Qt::Key_F4, Qt::ControlModifier);
        EXPECT_TRUE(editor.answered());
        EXPECT_EQ(title, "Scanning period");
    }
    // The main window read the file again and told the next change at once.
    EXPECT_TRUE(Button()->statusTip().startsWith("Next programmed "))
        << Button()->statusTip().toStdString();

    // The menu item opens it as well.
    ModalAnswerer again([&](QWidget* modal) {
        modal->findChild<QPushButton*>(QStringLiteral("BitBtnCancel"))->click();
    });
    ASSERT_TRUE(app.Menu({"&Video", "Sc&heduler", "&Edit"}));
    EXPECT_TRUE(again.answered());
    EXPECT_EQ(again.title(), "Scanning period");
}

TEST_F(SchedulerCommands, RightPressOnTheSchedulerButtonOpensTheEditorOtherButtonsOfferHelp)
{
    app.Start();
    {
        ModalAnswerer editor([](QWidget* modal) {
            modal->findChild<QPushButton*>(QStringLiteral("BitBtnCancel"))->click();
        });
        app.Click(QStringLiteral("RxSpeedButtonScheduler"), Qt::RightButton);
        EXPECT_TRUE(editor.answered());
        EXPECT_EQ(editor.title(), "Scanning period");
    }
    EXPECT_FALSE(ButtonDown()) << "a right press does not switch the scheduler";
    auto* whatsThis = app.Form().findChild<QMenu*>(QStringLiteral("WhatsThisPopupmenu"));
    EXPECT_FALSE(whatsThis->isVisible());

    // Any other button still offers "What is it ?".
    app.Click(QStringLiteral("RxSpeedButtonConnect"), Qt::RightButton);
    EXPECT_TRUE(WaitFor([&] { return whatsThis->isVisible(); }, 2000));
    whatsThis->close();
}

TEST_F(SchedulerCommands, EditorIsOutOfReachWhileScanning)
{
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    // Neither the key, nor the menu, nor the right press opens it now.
    ModalAnswerer none([](QWidget* modal) { modal->close(); }, 800);
    app.Key(Qt::Key_F4, Qt::ControlModifier);
    EXPECT_FALSE(app.Menu({"&Video", "Sc&heduler", "&Edit"}));
    app.Click(QStringLiteral("RxSpeedButtonScheduler"), Qt::RightButton);
    Program::Pause(900);
    EXPECT_FALSE(none.answered()) << none.title().toStdString();
}
