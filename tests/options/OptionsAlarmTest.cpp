#include "OptionsFixture.h"

#include "SilentSoundOutput.h"
#include "TFilenameEdit.h"
#include "TFormStopAlarm.h"
#include "TFormWaitClose.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// Records the text of any wait window that gets shown.
class ShowWatcher : public QObject
{
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            if (auto* wait = qobject_cast<TFormWaitClose*>(o))
                seenWaiting = wait->PanelWaitClose->text();
        return false;
    }
    QString seenWaiting;
};

class OptionsAlarm : public OptionsTest
{
protected:
    TFormOptions& makeSilentForm()
    {
        TFormOptions& f = makeForm();
        auto silent = std::make_unique<SilentSoundOutput>();
        output = silent.get();
        f.SetSoundOutput(std::move(silent));
        return f;
    }
    QByteArray log() const { return dir.read("iLXLE_SOUND.LOG"); }

    SilentSoundOutput* output = nullptr;
};

} // namespace

TEST_F(OptionsAlarm, ASinglePlayCannotBeStoppedHereAndEndsByItself)
{
    TFormOptions& f = makeSilentForm();
    f.CheckBoxSoundLoop->setChecked(false);
    const int updatesBefore = app.updates;
    f.BitBtnTestSOUND->click();
    EXPECT_TRUE(f.SoundBusy());
    EXPECT_EQ(f.BitBtnTestSOUND->text(), QStringLiteral("Sto&p"));
    EXPECT_FALSE(f.BitBtnTestSOUND->isEnabled());
    EXPECT_FALSE(f.CheckBoxBip->isEnabled());
    EXPECT_FALSE(f.FilenameEditSound->isEnabled());
    EXPECT_FALSE(f.CheckBoxSoundLoop->isEnabled());
    EXPECT_FALSE(f.StopAlarmWindow()->isVisible()) << "a single play shows no stop window";

    // The built-in sound lasts about 1.9 s.
    ASSERT_TRUE(WaitUntil([&] { return !f.SoundBusy(); }, 6000));
    EXPECT_FALSE(f.SoundThreadRunning());
    EXPECT_FALSE(f.StopAlarmWindow()->isVisible());
    EXPECT_EQ(f.BitBtnTestSOUND->text(), QStringLiteral("Pla&y"));
    EXPECT_TRUE(f.BitBtnTestSOUND->isEnabled());
    EXPECT_TRUE(f.CheckBoxBip->isEnabled());
    EXPECT_TRUE(f.FilenameEditSound->isEnabled());
    EXPECT_TRUE(f.CheckBoxSoundLoop->isEnabled());
    EXPECT_EQ(output->Calls(), QStringList({"memory:42461", "stop"}));
    EXPECT_GE(app.updates, updatesBefore + 2) << "busy and idle both reach the status bar";
    const QByteArray written = log();
    EXPECT_TRUE(written.contains("# EXECUTE TEST\r\n"));
    EXPECT_TRUE(written.contains("Request play sound: Default Alarm\r\n"));
    EXPECT_TRUE(written.contains("End of Thread \"Sound Alarm\"\r\n"));
}

TEST_F(OptionsAlarm, ALoopPlaysUntilTheStopWindowIsClicked)
{
    TFormOptions& f = makeSilentForm();
    ASSERT_TRUE(f.CheckBoxSoundLoop->isChecked());
    f.StartSoundAlarm(nullptr, false, true, QString());
    EXPECT_TRUE(f.SoundBusy());
    EXPECT_TRUE(f.BitBtnTestSOUND->isEnabled()) << "a loop can be stopped from the Stop button";
    TFormStopAlarm* stop = f.StopAlarmWindow();
    ASSERT_NE(stop, nullptr);
    EXPECT_TRUE(stop->isVisible());
    EXPECT_EQ(stop->Target(), &f);

    // Still playing well past the sound's length.
    QTest::qWait(2500);
    EXPECT_TRUE(f.SoundBusy());
    EXPECT_TRUE(output->Playing());

    QTest::mouseClick(stop, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !f.SoundBusy(); }));
    EXPECT_FALSE(stop->isVisible());
    EXPECT_FALSE(f.SoundThreadRunning());
    EXPECT_EQ(f.BitBtnTestSOUND->text(), QStringLiteral("Pla&y"));
    EXPECT_TRUE(f.CheckBoxSoundLoop->isEnabled());
    EXPECT_EQ(output->Calls(), QStringList({"memory:42461 loop", "stop"}));
    EXPECT_FALSE(log().contains("# EXECUTE TEST")) << "a detection's run is not a test";
}

TEST_F(OptionsAlarm, TheStopButtonEndsALoopedTest)
{
    TFormOptions& f = makeSilentForm();
    f.BitBtnTestSOUND->click();
    ASSERT_TRUE(f.SoundBusy());
    EXPECT_EQ(f.BitBtnTestSOUND->text(), QStringLiteral("Sto&p"));
    ASSERT_TRUE(WaitUntil([&] { return output->Playing(); }));
    QElapsedTimer sinceStop;
    sinceStop.start();
    f.BitBtnTestSOUND->click();
    ASSERT_TRUE(WaitUntil([&] { return !f.SoundBusy(); }));
    EXPECT_LT(sinceStop.elapsed(), 1000) << "the loop stops at once, not after one more play";
    EXPECT_FALSE(f.StopAlarmWindow()->isVisible());
    EXPECT_EQ(f.BitBtnTestSOUND->text(), QStringLiteral("Pla&y"));
}

TEST_F(OptionsAlarm, ADetectionWhileASoundPlaysStartsNothingAndLogsNothing)
{
    TFormOptions& f = makeSilentForm();
    f.StartSoundAlarm(nullptr, false, true, QString());
    ASSERT_TRUE(WaitUntil([&] { return log().contains("Default WAV sound will be used"); }));
    const QByteArray before = log();
    f.StartSoundAlarm(nullptr, false, true, QString());
    f.StartSoundAlarm(nullptr, true, false, QStringLiteral("/elsewhere.wav"));
    QTest::qWait(100);
    EXPECT_EQ(log(), before);
    EXPECT_EQ(output->Calls(), QStringList{"memory:42461 loop"});
    f.RequestSoundStop();
    ASSERT_TRUE(WaitUntil([&] { return !f.SoundBusy(); }));
}

TEST_F(OptionsAlarm, CancellingDuringALoopKeepsTheSoundControlsLockedAndTheStopWindowGoesAtTheEnd)
{
    TFormOptions& f = makeSilentForm();
    f.show();
    f.BitBtnTestSOUND->click();
    ASSERT_TRUE(f.StopAlarmWindow()->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return output->Playing(); }));
    // The saved settings say "no loop": Cancel brings that into the box mid-run.
    store("iLXLE_ALERTE.DAT", "Loop", "0");
    f.BitBtnCancel->click();
    EXPECT_FALSE(f.CheckBoxSoundLoop->isChecked());
    EXPECT_FALSE(f.CheckBoxSoundLoop->isEnabled()) << "still playing: the controls stay locked";
    EXPECT_FALSE(f.FilenameEditSound->isEnabled());
    EXPECT_TRUE(f.StopAlarmWindow()->isVisible());

    f.StopAlarmWindow()->StopClick();
    ASSERT_TRUE(WaitUntil([&] { return !f.SoundBusy(); }));
    EXPECT_FALSE(f.StopAlarmWindow()->isVisible()) << "the stop window never outlives the sound";
    EXPECT_TRUE(f.CheckBoxSoundLoop->isEnabled());
}

TEST_F(OptionsAlarm, ClosingTheWindowStopsAPlayingSoundFirst)
{
    TFormOptions& f = makeSilentForm();
    f.show();
    f.StartSoundAlarm(nullptr, false, true, QString());
    ASSERT_TRUE(WaitUntil([&] { return output->Playing(); }));
    // The wait window must be up while the sound stops, and gone after.
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    f.close();
    qApp->removeEventFilter(&watcher);
    EXPECT_EQ(watcher.seenWaiting, "Running Process are stopped... please wait.");
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TFormWaitClose*>(w), nullptr)
            << "the wait window outlives the close";
    EXPECT_FALSE(f.SoundBusy());
    EXPECT_FALSE(f.SoundThreadRunning());
    EXPECT_FALSE(f.StopAlarmWindow()->isVisible());
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(log().contains("End of Thread \"Sound Alarm\""));
}

TEST_F(OptionsAlarm, TheChosenSoundFileAndTheLogSwitchReachTheRun)
{
    TFormOptions& f = makeSilentForm();
    const QString wav = dir.file("door.WAV");
    QFile builtIn(QStringLiteral(":/sounds/ALARM.wav"));
    ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
    dir.write("door.WAV", builtIn.readAll());
    f.FilenameEditSound->SetText(wav);
    f.CheckBoxSoundLoop->setChecked(false);
    f.CheckBoxLogFile->setChecked(false);
    f.BitBtnTestSOUND->click();
    ASSERT_TRUE(WaitUntil([&] { return !f.SoundBusy(); }, 6000));
    EXPECT_EQ(output->Calls(), QStringList({"file:" + wav, "stop"}));
    EXPECT_FALSE(QFileInfo::exists(dir.file("iLXLE_SOUND.LOG"))) << "logging off writes nothing";
}

TEST_F(OptionsAlarm, DestroyingTheWindowDuringALoopEndsTheRun)
{
    TFormOptions& f = makeSilentForm();
    f.StartSoundAlarm(nullptr, false, true, QString());
    ASSERT_TRUE(f.SoundBusy());
    ASSERT_TRUE(WaitUntil([&] { return output->Playing(); }));
    QElapsedTimer ending;
    ending.start();
    form.reset();
    EXPECT_LT(ending.elapsed(), 1000) << "the run ends at once, without its finished event";
    EXPECT_TRUE(log().contains("End of Thread \"Sound Alarm\""));
}
