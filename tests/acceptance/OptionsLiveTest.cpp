// The options window as the live holder of the settings: an edit takes effect
// at once, before it is saved; OK and Apply save, Cancel undoes.
#include "Program.h"

#include "JpegCodec.h"
#include "OpenDocument.h"
#include "SilentSoundOutput.h"
#include "TDirectoryEdit.h"
#include "TFilenameEdit.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "THelpWindow.h"
#include "TRadioGroup.h"
#include "TScanController.h"
#include "TStatusBarVideo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A picture where every point changes except those on a 16-pixel grid.
QImage ChangedOffTheGrid(const QImage& base)
{
    QImage changed = base;
    for (int y = 0; y < changed.height(); ++y)
        for (int x = 0; x < changed.width(); ++x)
            if (x % 16 != 0 || y % 16 != 0)
                changed.setPixel(x, y, qRgb(255, 255, 255));
    return changed;
}

class OptionsLive : public ::testing::Test
{
protected:
    TFormOptions& Options() const { return app.Options(); }
    void Scan(bool on)
    {
        // Back to the main window, as a user clicks it, then F5.
        app.Click(QStringLiteral("PanelInfo"));
        if (app.Scanning() != on)
            app.Key(Qt::Key_F5);
        ASSERT_EQ(app.Scanning(), on);
    }
    // Whether the picture given now is a detection (scanning is switched on
    // for it, and off again afterwards).
    bool Detects(const QImage& next, int timeoutMs = 1500)
    {
        Scan(true);
        const bool seen = app.ShowAndDetect(next, timeoutMs);
        Scan(false);
        return seen;
    }
    QImage Inverted() const
    {
        QImage changed = app.Picture();
        changed.invertPixels();
        return changed;
    }
    void Close() { app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &Options()); }

    Program app;
};

} // namespace

TEST_F(OptionsLive, SensitivityAndDifferencesCountFromTheNextPicture)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    // A change of 75 in each channel: seen at 85 %, not at 50 % (threshold 127).
    app.Type(Options().SpinEditLevel, QStringLiteral("50"));
    EXPECT_FALSE(Detects(Inverted()));
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Type(Options().SpinEditLevel, QStringLiteral("85"));
    EXPECT_TRUE(Detects(Inverted()));
    // Every point changed is 100 %, which is not above 100.
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Type(Options().SpinEditDelta, QStringLiteral("100"));
    EXPECT_FALSE(Detects(Inverted()));
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Delta"), "<none>") << "nothing saved yet";
}

TEST_F(OptionsLive, ResolutionDecidesWhichPointsAreLookedAt)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Item(Options().RadioGroupStep, QStringLiteral("1/16 (faster, less accurate)"))->click();
    ASSERT_EQ(Options().RadioGroupStep->ItemIndex(), 5);
    EXPECT_FALSE(Detects(ChangedOffTheGrid(app.Picture()))) << "every 16th point is unchanged";
    app.SetPicture(FlatPicture(320, 240, qRgb(90, 90, 90)));
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Item(Options().RadioGroupStep, QStringLiteral("Auto"))->click();
    EXPECT_TRUE(Detects(ChangedOffTheGrid(app.Picture())));
}

TEST_F(OptionsLive, PauseOnScanningFreezesTheViewFromTheNextStart)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Click(QStringLiteral("CheckBoxPause"), Qt::LeftButton, {}, &Options());
    ASSERT_TRUE(Options().CheckBoxPause->isChecked());
    Close();
    app.Key(Qt::Key_F5);
    auto* pause = qobject_cast<QToolButton*>(app.Widget(QStringLiteral("RxSpeedButtonPause")));
    EXPECT_TRUE(pause->isChecked());
    EXPECT_TRUE(app.Widget(QStringLiteral("ImageFreeze"))->isVisible());
    EXPECT_FALSE(app.Widget(QStringLiteral("VideoCam"))->isVisible());
}

TEST_F(OptionsLive, FrequencyBecomesTheScanTimersPeriod)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    app.Item(Options().RadioGroupFrequence, QStringLiteral("1 picture /sec"))->click();
    Close();
    app.Key(Qt::Key_F5);
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 4000));
    EXPECT_TRUE(app.Info().contains("- Freqency: 1000ms")) << app.Info().toStdString();
}

TEST_F(OptionsLive, DateStampAndQualityShapeTheNextPicture)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    app.Click(QStringLiteral("CheckBoxDate"), Qt::LeftButton, {}, &Options());
    ASSERT_FALSE(Options().CheckBoxDate->isChecked());
    // The quality slider taken to its ends with the keyboard.
    app.ClickAt(Options().TrackBarCompress, QPoint(2, Options().TrackBarCompress->height() / 2));
    app.Key(Qt::Key_Home);
    ASSERT_EQ(Options().TrackBarCompress->value(), 0);
    ASSERT_TRUE(Detects(Inverted(), 5000));
    const QString plain = app.CapturesFolder() + "/" + app.Pictures().last();

    app.OpenOptionsPage(QStringLiteral("Pictures"));
    app.Click(QStringLiteral("CheckBoxDate"), Qt::LeftButton, {}, &Options());
    app.ClickAt(Options().TrackBarCompress, QPoint(2, Options().TrackBarCompress->height() / 2));
    app.Key(Qt::Key_End);
    ASSERT_EQ(Options().TrackBarCompress->value(), 100);
    ASSERT_TRUE(Detects(Inverted(), 5000));
    const QString stamped = app.CapturesFolder() + "/" + app.Pictures().last();

    EXPECT_GT(QFileInfo(stamped).size(), QFileInfo(plain).size()) << "quality 100 against 0";
    // The stamp is white text in the bottom-right corner of a flat picture.
    const auto brightCorner = [](const QImage& picture) {
        int bright = 0;
        for (int y = picture.height() - 30; y < picture.height(); ++y)
            for (int x = picture.width() - 80; x < picture.width(); ++x)
                bright += qGray(picture.pixel(x, y)) > 230;
        return bright;
    };
    EXPECT_EQ(brightCorner(ReadJpegFile(plain)), 0);
    EXPECT_GT(brightCorner(ReadJpegFile(stamped)), 20);
}

TEST_F(OptionsLive, PicturesGoToTheFolderChosenInTheBrowseDialog)
{
    app.Start();
    const QString elsewhere = app.dir.file(QStringLiteral("Elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    ModalAnswerer browse([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        app.Type(name, elsewhere);
        app.Key(Qt::Key_Return);
    });
    app.ClickAt(Options().DirectoryEditDirImage->Button(), QPoint(4, 4));
    ASSERT_TRUE(browse.answered());
    EXPECT_EQ(Options().DirectoryEditDirImage->Text(), elsewhere);
    Close();
    Scan(true);
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Scanning: "); }, 4000));
    Program::Pause(300);
    app.SetPicture(Inverted());
    EXPECT_TRUE(WaitFor([&] { return !QDir(elsewhere).entryList({"*.jpg"}).isEmpty(); }, 5000));
    EXPECT_TRUE(app.Pictures().isEmpty()) << "nothing went to the old folder";
}

TEST_F(OptionsLive, AlarmBoxSoundFileAndLoopDecideTheAlarmOfTheNextDetection)
{
    app.Store("iLXLE_ALERTE.DAT", "Log", "1");
    app.Start();
    auto output = std::make_unique<SilentSoundOutput>();
    SilentSoundOutput* sound = output.get();
    Options().SetSoundOutput(std::move(output));

    // Off: a detection rings nothing.
    ASSERT_FALSE(Options().CheckBoxBip->isChecked());
    ASSERT_TRUE(Detects(Inverted(), 5000));
    Program::Pause(300);
    EXPECT_TRUE(sound->Calls().isEmpty());

    // On, looping: the stop window comes with the sound and stops it.
    app.OpenOptionsPage(QStringLiteral("Alarm"));
    app.Click(QStringLiteral("CheckBoxBip"), Qt::LeftButton, {}, &Options());
    ASSERT_TRUE(Options().CheckBoxBip->isChecked());
    ASSERT_TRUE(Options().CheckBoxSoundLoop->isChecked());
    ASSERT_TRUE(Detects(Inverted(), 5000));
    ASSERT_TRUE(WaitFor([&] { return sound->Playing(); }, 3000));
    QWidget* stop = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "FormStopAlarm" && top->isVisible())
            stop = top;
    ASSERT_NE(stop, nullptr) << "no stop window with a looping alarm";
    app.ClickAt(stop, stop->rect().center());
    EXPECT_TRUE(WaitFor([&] { return !sound->Playing() && !stop->isVisible(); }, 3000));
    EXPECT_TRUE(WaitFor([&] { return !Options().SoundBusy(); }, 3000));
    EXPECT_TRUE(sound->Calls().first().endsWith(" loop")) << sound->Calls().first().toStdString();

    // The log says so: logging is on.
    const QString log = QString::fromLatin1(app.dir.read("iLXLE_SOUND.LOG"));
    EXPECT_TRUE(log.contains("Request play sound: Default Alarm")) << log.toStdString();
}

TEST_F(OptionsLive, LogBoxDecidesWhetherAnAlarmIsLogged)
{
    app.Store("iLXLE_ALERTE.DAT", "Beep", "1");
    app.Start();
    Options().SetSoundOutput(std::make_unique<SilentSoundOutput>());
    app.OpenOptionsPage(QStringLiteral("Alarm"));
    app.Click(QStringLiteral("CheckBoxSoundLoop"), Qt::LeftButton, {}, &Options());
    ASSERT_FALSE(Options().CheckBoxSoundLoop->isChecked());
    ASSERT_TRUE(Detects(Inverted(), 5000));
    ASSERT_TRUE(WaitFor([&] { return !Options().SoundBusy(); }, 5000));
    EXPECT_FALSE(QFile::exists(app.dir.file("iLXLE_SOUND.LOG"))) << "logging is off";

    app.OpenOptionsPage(QStringLiteral("Log"));
    app.Click(QStringLiteral("CheckBoxLogFile"), Qt::LeftButton, {}, &Options());
    ASSERT_TRUE(Options().CheckBoxLogFile->isChecked());
    ASSERT_TRUE(Detects(Inverted(), 5000));
    ASSERT_TRUE(WaitFor([&] { return !Options().SoundBusy(); }, 5000));
    EXPECT_TRUE(QFile::exists(app.dir.file("iLXLE_SOUND.LOG")));
}

TEST_F(OptionsLive, TheLogButtonSaysSoWhenTheLogCannotBeShown)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Log"));
    {
        ModalAnswerer missing(PressMessageBoxButton(QMessageBox::Ok));
        app.Click(QStringLiteral("ButtonSOUNDLog"), Qt::LeftButton, {}, &Options());
        ASSERT_TRUE(missing.answered());
        EXPECT_TRUE(missing.text().startsWith("Logfile: ")) << missing.text().toStdString();
        EXPECT_TRUE(missing.text().contains("not found !"));
    }
    // The log exists but the desktop has no viewer for it.
    app.dir.write("iLXLE_SOUND.LOG", "Logfile \"Sound Alarm\"\r\n");
    SetDocumentOpener(QStringLiteral("false"));
    ModalAnswerer failed(PressMessageBoxButton(QMessageBox::Ok));
    app.Click(QStringLiteral("ButtonSOUNDLog"), Qt::LeftButton, {}, &Options());
    SetDocumentOpener(QString());
    ASSERT_TRUE(failed.answered());
    EXPECT_TRUE(failed.text().startsWith("Unable to open logfile:")) << failed.text().toStdString();
}

TEST_F(OptionsLive, StatusBarIconSwitchesTheAlarmEvenWhileASoundPlays)
{
    app.Store("iLXLE_ALERTE.DAT", "Beep", "1");
    app.Start();
    auto output = std::make_unique<SilentSoundOutput>();
    SilentSoundOutput* sound = output.get();
    Options().SetSoundOutput(std::move(output));
    app.OpenOptionsPage(QStringLiteral("Alarm"));
    app.Click(QStringLiteral("BitBtnTestSOUND"), Qt::LeftButton, {}, &Options());
    ASSERT_TRUE(WaitFor([&] { return sound->Playing(); }, 3000));
    ASSERT_FALSE(Options().CheckBoxBip->isEnabled()) << "greyed while the sound plays";

    // The first 16 pixels of panel 2 are the alarm icon.
    QWidget* bar = app.Widget(QStringLiteral("StatusBarVideo"));
    const int x = app.Form().StatusBar()->PanelWidth(0) + app.Form().StatusBar()->PanelWidth(1) + 8;
    app.ClickAt(bar, QPoint(x, bar->height() / 2));
    EXPECT_FALSE(Options().CheckBoxBip->isChecked()) << "the icon switched the alarm off";
    app.Click(QStringLiteral("BitBtnTestSOUND"), Qt::LeftButton, {}, &Options());
    ASSERT_TRUE(WaitFor([&] { return !Options().SoundBusy(); }, 3000));
    EXPECT_FALSE(Options().CheckBoxBip->isChecked());
    EXPECT_FALSE(Options().FilenameEditSound->isEnabled()) << "alarm off: its sound greyed";
}

TEST_F(OptionsLive, OkAndApplySaveCancelUndoesTheCloseBoxKeepsTheEdits)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Type(Options().SpinEditDelta, QStringLiteral("12"));
    EXPECT_TRUE(Options().BitBtnApply->isEnabled());
    app.Click(QStringLiteral("BitBtnApply"), Qt::LeftButton, {}, &Options());
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Delta"), "12");
    EXPECT_FALSE(Options().BitBtnApply->isEnabled());
    EXPECT_TRUE(Options().isVisible());

    app.Type(Options().SpinEditDelta, QStringLiteral("20"));
    app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &Options());
    EXPECT_FALSE(Options().isVisible());
    EXPECT_EQ(Options().SpinEditDelta->value(), 12) << "Cancel reloads the saved value";

    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Type(Options().SpinEditDelta, QStringLiteral("30"));
    Options().close(); // the close box
    EXPECT_FALSE(Options().isVisible());
    EXPECT_EQ(Options().SpinEditDelta->value(), 30) << "kept in effect";
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Delta"), "12") << "and not saved";

    app.OpenOptionsPage(QStringLiteral("Scan"));
    Close();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Delta"), "30") << "OK saves what is shown";
}

TEST_F(OptionsLive, HelpButtonOpensTheHelpContents)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Log"));
    app.Click(QStringLiteral("BitBtnHelp"), Qt::LeftButton, {}, &Options());
    EXPECT_TRUE(app.Form().HelpWindow()->isVisible());
}

TEST_F(OptionsLive, AutoStartClearedAndCheckedAgainStartsScanningAtOnce)
{
    app.Store("iLXLE_PARAM.DAT", "Auto", "1");
    app.Store("iLXLE_PARAM.DAT", "Delay", "5");
    app.Start();
    ASSERT_TRUE(WaitFor([&] { return app.Info().startsWith("Start scanning in 00:04:"); }, 2000))
        << app.Info().toStdString();
    // The video off stops the countdown's ticks while the box is worked.
    app.Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_FALSE(app.VideoOn());
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Click(QStringLiteral("CheckBoxAuto"), Qt::LeftButton, {}, &Options());
    app.Click(QStringLiteral("CheckBoxAuto"), Qt::LeftButton, {}, &Options());
    ASSERT_TRUE(Options().CheckBoxAuto->isChecked());
    Close();
    app.Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(app.VideoOn());
    EXPECT_TRUE(WaitFor([&] { return app.Scanning(); }, 2000))
        << "the delay counts as elapsed: " << app.Info().toStdString();
}

TEST_F(OptionsLive, AutoStartCountsDownFromTheProgramsStart)
{
    app.Store("iLXLE_PARAM.DAT", "Auto", "1");
    app.Store("iLXLE_PARAM.DAT", "Delay", "0");
    app.Start();
    EXPECT_TRUE(WaitFor([&] { return app.Scanning(); }, 2000)) << "0 minutes: the first tick";
}

TEST_F(OptionsLive, F1ShowsTheFocusedControlsTopicWhereThePointerIs)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.ClickAt(Options().SpinEditLevel, QPoint(6, 6));
    ASSERT_TRUE(Options().SpinEditLevel->hasFocus());
    app.Hover(Options().CheckBoxPause, QPoint(4, 4));
    const QPoint pointer = QCursor::pos();
    app.Key(Qt::Key_F1);
    THelpWindow* help = app.Form().HelpWindow();
    EXPECT_EQ(help->LastPopupHtml(), help->HelpFile().PopupHtml(40110)) << "Sensibility's topic";
    EXPECT_EQ(help->LastPopupPos(), pointer);
}

TEST_F(OptionsLive, AFolderTypedInTheBrowseDialogIsCreatedAfterAsking)
{
    app.Start();
    const QString fresh = app.dir.file(QStringLiteral("New/Pictures"));
    app.OpenOptionsPage(QStringLiteral("Pictures"));
    QString question;
    ModalAnswerer browse([&](QWidget* dialog) {
        ModalAnswerer yes(
            [&](QWidget* box) {
                question = qobject_cast<QMessageBox*>(box)->text();
                PressMessageBoxButton(QMessageBox::Yes)(box);
            },
            3000, "QMessageBox");
        app.Type(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), fresh);
        app.Key(Qt::Key_Return);
        EXPECT_TRUE(yes.answered());
    });
    app.ClickAt(Options().DirectoryEditDirImage->Button(), QPoint(4, 4));
    ASSERT_TRUE(browse.answered());
    EXPECT_TRUE(question.startsWith("Create the folder")) << question.toStdString();
    EXPECT_TRUE(QFileInfo(fresh).isDir());
    EXPECT_EQ(Options().DirectoryEditDirImage->Text(), fresh);
}

TEST_F(OptionsLive, ASoundFileWithNoSoundInItRingsTheBuiltInAlarm)
{
    // A picture renamed .wav is chosen as the alarm sound.
    app.dir.write("alarm.wav", QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF\x00", 11));
    app.Store("iLXLE_ALERTE.DAT", "Beep", "1");
    app.Store("iLXLE_ALERTE.DAT", "Log", "1");
    app.Store("iLXLE_ALERTE.DAT", "Loop", "0");
    app.Store("iLXLE_ALERTE.DAT", "Wav", app.dir.file("alarm.wav"));
    app.Start();
    auto output = std::make_unique<SilentSoundOutput>();
    SilentSoundOutput* sound = output.get();
    Options().SetSoundOutput(std::move(output));
    ASSERT_EQ(Options().FilenameEditSound->Text(), app.dir.file("alarm.wav"));
    ASSERT_TRUE(Detects(Inverted(), 5000));
    ASSERT_TRUE(WaitFor([&] { return !Options().SoundBusy(); }, 5000));
    EXPECT_EQ(sound->Calls().first(), "memory:42461") << "the built-in alarm, not silence";
    EXPECT_TRUE(QString::fromLatin1(app.dir.read("iLXLE_SOUND.LOG"))
                    .contains(" is not a sound ! Default WAV sound will be used"));
}
