// The rows of the command tables not covered elsewhere: the Options command,
// the Web command, Close, the status bar, the taskbar flash, the stability
// wait, and the options controls that act on the next start or the next alarm.
#include "Program.h"

#include "DataPaths.h"
#include "OpenDocument.h"
#include "SilentSoundOutput.h"
#include "TFilenameEdit.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TRadioGroup.h"
#include "TScanController.h"
#include "TScheduler.h"
#include "TStatusBarVideo.h"
#include "TTimeCells.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class Rows : public ::testing::Test
{
protected:
    TFormOptions& Options() const { return app.Options(); }
    Program app;
};

} // namespace

TEST_F(Rows, OptionsCommandFromMenuAndButtonShowsTheWindowAndTakesItsFrequency)
{
    app.Start();
    app.Click(QStringLiteral("RxSpeedButtonOptions"));
    EXPECT_TRUE(Options().isVisible());
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    app.Item(Options().RadioGroupFrequence, QStringLiteral("1 picture every 5 sec"))->click();
    Options().close();
    ASSERT_TRUE(app.Menu({"&Video", "&Option..."}));
    EXPECT_TRUE(Options().isVisible());
    EXPECT_EQ(app.Form().Scan().TimerScan().interval(), 5000) << "the command applies it";
}

TEST(RowsWeb, WebCommandIsGreyedWithoutAnAddress)
{
    Program app;
    app.Start();
    EXPECT_FALSE(app.Action(QStringLiteral("MenuItemWeb"))->isEnabled());
}

TEST_F(Rows, WebCommandHandsTheAddressToTheDesktop)
{
    app.Store("iLXLE.INI", "Web", "http://127.0.0.1:9/");
    app.Start();
    SetDocumentOpener(QStringLiteral("true"));
    ModalAnswerer none([](QWidget* box) { box->close(); }, 800);
    ASSERT_TRUE(app.Menu({"?", "Web &site - Home page..."}));
    SetDocumentOpener(QString());
    Program::Pause(900);
    EXPECT_FALSE(none.answered()) << none.text().toStdString();
    EXPECT_TRUE(app.VideoOn());
}

// No browser on the desktop: the Web command says so, and the watch goes on.
TEST_F(Rows, AWebCommandThatFailsIsReportedAndLeavesTheWatchAlone)
{
    app.Store("iLXLE.INI", "Web", "http://127.0.0.1:9/");
    app.Start();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Scanning());
    SetDocumentOpener(QStringLiteral("false"));
    ModalAnswerer failed(PressMessageBoxButton(QMessageBox::Ok));
    ASSERT_TRUE(app.Menu({"?", "Web &site - Home page..."}));
    SetDocumentOpener(QString());
    ASSERT_TRUE(WaitFor([&] { return failed.answered(); }, 3000));
    EXPECT_TRUE(failed.text().contains("on open request")) << failed.text().toStdString();
    EXPECT_TRUE(app.VideoOn());
    EXPECT_TRUE(app.Scanning());
}

TEST_F(Rows, CloseFromTheMenuSavesTheFormatsAndRemovesTheFrameFile)
{
    app.Start();
    app.Key(Qt::Key_Space); // a grab writes the frame file
    ASSERT_TRUE(QFile::exists(DataPaths().TempFrame));
    ASSERT_TRUE(app.Menu({"&File", "&Close"}));
    EXPECT_TRUE(WaitFor([&] { return !app.Form().isVisible(); }, 3000));
    EXPECT_TRUE(QFile::exists(app.dir.file("iLXLE_DEF.VID")));
    EXPECT_TRUE(QFile::exists(app.dir.file("iLXLE_USER.VID")));
    EXPECT_FALSE(QFile::exists(DataPaths().TempFrame));
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Driver"), "Cam");
}

TEST_F(Rows, StatusBarTellsWhatLiesUnderThePointerAndItsIconSwitchesTheAlarm)
{
    app.Start();
    QWidget* bar = app.Widget(QStringLiteral("StatusBarVideo"));
    TStatusBarVideo* status = app.Form().StatusBar();
    const int w0 = status->PanelWidth(0);
    const int w1 = status->PanelWidth(1);
    const int y = bar->height() / 2;
    app.Hover(bar, QPoint(w0 + 10, y));
    EXPECT_EQ(app.StatusHint(), "No detection");
    app.Hover(bar, QPoint(w0 + w1 + 8, y));
    EXPECT_EQ(app.StatusHint(), "Sound alarm is note selected");

    app.ClickAt(bar, QPoint(w0 + w1 + 8, y));
    EXPECT_TRUE(Options().CheckBoxBip->isChecked());
    app.Hover(bar, QPoint(w0 + w1 + 8, y));
    EXPECT_EQ(app.StatusHint(), "Sound alarm is selected");
    app.Hover(bar, QPoint(w0 + w1 + 40, y));
    EXPECT_EQ(app.StatusHint(), "Alarm set");

    app.Key(Qt::Key_F5);
    Options().SetSoundOutput(std::make_unique<SilentSoundOutput>());
    ASSERT_TRUE(app.Detect());
    app.Hover(bar, QPoint(w0 + 10, y));
    EXPECT_EQ(app.StatusHint(), "Detection");
    EXPECT_EQ(status->PanelText(1), "1");
}

TEST_F(Rows, AMinimisedWindowFlashesOnlyAfterADetection)
{
    app.Start();
    app.Form().showMinimized(); // as the window manager minimises it
    Program::Pause(1200);
    EXPECT_EQ(app.Form().FlashToggles(), 0) << "no detection yet";
    app.Form().showNormal();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Detect());
    app.Form().showMinimized();
    EXPECT_TRUE(WaitFor([&] { return app.Form().FlashToggles() >= 2; }, 3000));
    app.Form().showNormal();
    const int toggles = app.Form().FlashToggles();
    Program::Pause(1200);
    EXPECT_EQ(app.Form().FlashToggles(), toggles) << "restored: no more flashing";
}

TEST_F(Rows, TheVideoWaitsForAStablePictureBeforeScanningCanStart)
{
    app.Store("iLXLE.INI", "Stabilite", "1");
    app.Start();
    app.Key(Qt::Key_V, Qt::ControlModifier);
    QStringList seen;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (seen.isEmpty() || seen.last() != app.Info())
            seen << app.Info();
    });
    sample.start(20);
    app.Key(Qt::Key_V, Qt::ControlModifier);
    sample.stop();
    ASSERT_TRUE(app.VideoOn());
    EXPECT_TRUE(seen.filter("Waiting picture stability ").size() >= 3)
        << seen.join('|').toStdString();
    EXPECT_TRUE(app.Info().isEmpty());
}

TEST_F(Rows, OptionsEditButtonChangesTheScheduleTheMainWindowFollows)
{
    app.Start();
    auto* scheduler = qobject_cast<QToolButton*>(app.Widget("RxSpeedButtonScheduler"));
    ASSERT_EQ(scheduler->statusTip(), "No stop programmed");
    app.OpenOptionsPage(QStringLiteral("Scan"));
    ModalScript edit({{"TFormPeriod", [&](QWidget* editor) {
                           QWidget* grid = editor->findChild<QWidget*>("DrawGridPeriod");
                           app.Drag(grid, QPoint(3, 28), QPoint(24, 28), Qt::NoModifier);
                           app.Click("BitBtnDisactivate", Qt::LeftButton, {}, editor);
                           app.Click("BitBtnOK", Qt::LeftButton, {}, editor);
                       }}});
    app.Click(QStringLiteral("BitBtnSchedulerEdit"), Qt::LeftButton, {}, &Options());
    ASSERT_EQ(edit.Done(), 1);
    // The main window reads the file again: Sunday's first hour is off there.
    const TTimeCells* cells = app.Form().Scheduler()->Schedule();
    ASSERT_NE(cells, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !cells->Cell(0, 1); }, 2000));
    EXPECT_FALSE(cells->Cell(3, 1));
    EXPECT_TRUE(cells->Cell(4, 1));
}

TEST_F(Rows, SelectDriverAtStartUpShowsTheDriverDialogNextTime)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Click(QStringLiteral("CheckBoxSelectDriver"), Qt::LeftButton, {}, &Options());
    app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &Options());
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Select"), "1");

    Program next;
    next.Store("iLXLE_PARAM.DAT", "Select", "1");
    ModalScript driver({{"TDlgSelectDriver", [](QWidget* d) {
                             d->findChild<QPushButton*>(QStringLiteral("BitBtnOK"))->click();
                         }}});
    next.Start();
    EXPECT_EQ(driver.Done(), 1);
    EXPECT_TRUE(next.VideoOn());
}

TEST_F(Rows, TheSoundFileChosenIsTheOnePlayedAndLogged)
{
    app.Store("iLXLE_ALERTE.DAT", "Beep", "1");
    app.Store("iLXLE_ALERTE.DAT", "Log", "1");
    app.Store("iLXLE_ALERTE.DAT", "Loop", "0");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ILX_ALARM_WAV), app.dir.file("bell.wav")));
    app.Start();
    auto output = std::make_unique<SilentSoundOutput>();
    SilentSoundOutput* sound = output.get();
    Options().SetSoundOutput(std::move(output));
    app.OpenOptionsPage(QStringLiteral("Alarm"));
    ModalScript browse({{"QFileDialog", [&](QWidget* dialog) {
                             app.Type(dialog->findChild<QLineEdit*>("fileNameEdit"),
                                      app.dir.file("bell.wav"));
                             app.Key(Qt::Key_Return);
                         }}});
    app.ClickAt(Options().FilenameEditSound->Button(), QPoint(4, 4));
    ASSERT_EQ(browse.Done(), 1);
    EXPECT_EQ(Options().FilenameEditSound->Text(), app.dir.file("bell.wav"));
    app.Click(QStringLiteral("PanelInfo"));
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(app.Detect());
    ASSERT_TRUE(WaitFor([&] { return !sound->Calls().isEmpty(); }, 3000));
    EXPECT_EQ(sound->Calls().first(), "file:" + app.dir.file("bell.wav"));
    ASSERT_TRUE(WaitFor([&] { return !Options().SoundBusy(); }, 5000));
    EXPECT_TRUE(QString::fromLatin1(app.dir.read("iLXLE_SOUND.LOG"))
                    .contains("Request play sound: " + app.dir.file("bell.wav")));
}

TEST_F(Rows, QualityButtonsKeypadAndPrefixTypingFollowTheirRules)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    QSlider* quality = Options().TrackBarCompress;
    ASSERT_EQ(quality->value(), 90);
    app.Click(QStringLiteral("BitBtnPlus"), Qt::LeftButton, {}, &Options());
    EXPECT_EQ(quality->value(), 91);
    app.Click(QStringLiteral("BitBtnMinus"), Qt::LeftButton, {}, &Options());
    app.Click(QStringLiteral("BitBtnMinus"), Qt::LeftButton, {}, &Options());
    EXPECT_EQ(quality->value(), 89);
    app.Key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(quality->value(), 90);
    EXPECT_EQ(Options().LabelCompress->text(), "&Quality:\n90%");

    QLineEdit* prefix = Options().LabeledEditPrefix;
    app.Type(prefix, QStringLiteral("a b:c*d"));
    EXPECT_EQ(prefix->text(), "abc") << "blanks and separators are swallowed; three at most";
    app.Type(prefix, QString());
    app.ClickAt(Options().CheckBoxDate, QPoint(60, 6)); // the field is left
    EXPECT_EQ(prefix->text(), "ILX");
}
