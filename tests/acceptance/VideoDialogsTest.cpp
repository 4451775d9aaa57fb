// The camera's dialogs as a user opens them: driver, format, source and
// display, from their keys, menu items and buttons.
#include "Program.h"

#include "GstCaptureDriver.h"
#include "ScriptedCaptureDriver.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TVideoCam.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Picks a row of a dialog's list by clicking it, then clicks its OK.
void ChooseAndConfirm(Program& app, QWidget* dialog, const char* list, const QString& row)
{
    auto* items = dialog->findChild<QListWidget*>(QLatin1String(list));
    ASSERT_NE(items, nullptr);
    const QList<QListWidgetItem*> found = items->findItems(row, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << row.toStdString();
    app.ClickAt(items->viewport(), items->visualItemRect(found.first()).center());
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, dialog);
}

void PressOk(QWidget* box)
{
    PressMessageBoxButton(QMessageBox::Ok)(box);
}

} // namespace

TEST(VideoDialogs, FormatCommandInsistsOnASizeWithinTheLimits)
{
    Program app(Program::Camera::Demo);
    app.Start();
    ASSERT_TRUE(app.VideoOn());
    QString warning;
    ModalScript script({
        {"TDlgVideoFormat",
         [&](QWidget* d) {
             ChooseAndConfirm(app, d, "ListBoxSizes", QStringLiteral("640 x 480"));
         }},
        {"QMessageBox",
         [&](QWidget* box) {
             warning = qobject_cast<QMessageBox*>(box)->text();
             PressOk(box);
         }},
        {"TDlgVideoFormat",
         [&](QWidget* d) {
             ChooseAndConfirm(app, d, "ListBoxSizes", QStringLiteral("176 x 144"));
         }},
    });
    app.Key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(script.Done(), 3);
    EXPECT_EQ(warning, "Video format too big !\nMax: 352x288");
    EXPECT_EQ(app.Form().VideoCam()->VideoWidth(), 176);
    EXPECT_EQ(app.Form().VideoCam()->geometry().size(), QSize(176, 144)) << "laid out anew";
    EXPECT_TRUE(app.Widget(QStringLiteral("VideoCam"))->statusTip().startsWith("Video:176x144 "))
        << app.Widget(QStringLiteral("VideoCam"))->statusTip().toStdString();

    // The button opens it as well; Cancel keeps the size.
    ModalScript cancel({{"TDlgVideoFormat", [&](QWidget* d) {
                             app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, d);
                         }}});
    app.Click(QStringLiteral("RxSpeedButtonFormat"));
    EXPECT_EQ(cancel.Done(), 1);
    EXPECT_EQ(app.Form().VideoCam()->VideoWidth(), 176);
    app.Close();
    EXPECT_TRUE(QFile::exists(app.dir.file("iLXLE_USER.VID")));
}

TEST(VideoDialogs, SourceDialogOpensFromItsKeyMenuAndButton)
{
    Program app(Program::Camera::Demo);
    app.Start();
    const auto opens = [&](const std::function<void()>& open) {
        ModalScript script({{"TDlgVideoSource", [&](QWidget* d) {
                                 app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, d);
                             }}});
        open();
        return script.Done() == 1;
    };
    EXPECT_TRUE(opens([&] { app.Key(Qt::Key_S, Qt::ControlModifier); }));
    EXPECT_TRUE(opens([&] { ASSERT_TRUE(app.Menu({"&Video", "&Source..."})); }));
    EXPECT_TRUE(opens([&] { app.Click(QStringLiteral("RxSpeedButtonSource")); }));
    // The demo camera has no display dialog: its command stays greyed.
    EXPECT_FALSE(app.Action(QStringLiteral("MenuItemDisplay"))->isEnabled());
    EXPECT_FALSE(app.Widget(QStringLiteral("RxSpeedButtonDisplay"))->isEnabled());
}

TEST(VideoDialogs, DisplayDialogIsAskedOfADriverThatHasOne)
{
    Program app;
    app.Start();
    app.Key(Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(app.Menu({"&Video", "&Display..."}));
    app.Click(QStringLiteral("RxSpeedButtonDisplay"));
    EXPECT_EQ(app.Scripted().calls().count(QStringLiteral("dialog display")), 3);
}

TEST(VideoDialogs, DriverCommandWaitsForTheVideoToBeOffAndTellsTheOptions)
{
    Program app;
    app.Start();
    EXPECT_FALSE(app.Action(QStringLiteral("MenuItemPilote"))->isEnabled()) << "video on";
    app.Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_FALSE(app.VideoOn());

    QStringList offered;
    ModalScript choose({{"TDlgSelectDriver", [&](QWidget* d) {
                             auto* list =
                                 d->findChild<QListWidget*>(QStringLiteral("ListBoxDrivers"));
                             for (int i = 0; i < list->count(); ++i)
                                 offered << list->item(i)->text();
                             ChooseAndConfirm(app, d, "ListBoxDrivers", QStringLiteral("Cam"));
                         }}});
    app.Key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(choose.Done(), 1);
    EXPECT_EQ(offered, QStringList{QStringLiteral("Cam")});
    EXPECT_FALSE(app.VideoOn()) << "the video stays as it was";
    EXPECT_EQ(app.Options().LabelPilote->text(), "Video driver: Cam");
    EXPECT_TRUE(app.Action(QStringLiteral("MenuItemConnect"))->isEnabled());

    ModalScript again({{"TDlgSelectDriver", [&](QWidget* d) {
                            d->close();
                        }}});
    ASSERT_TRUE(app.Menu({"&Video", "&Driver..."}));
    EXPECT_EQ(again.Done(), 1);
}
