#include "OptionsFixture.h"

#include "ModalAnswerer.h"
#include "TDirectoryEdit.h"
#include "TFilenameEdit.h"
#include "TRadioGroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

TEST_F(OptionsTest, WithNoSettingsFilesTheFirstStartDefaultsAreShown)
{
    TFormOptions& f = makeForm();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(f.size(), QSize(412, 375));
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.PageControl->currentIndex(), 0);
    EXPECT_EQ(f.SpinEditLevel->value(), 85);
    EXPECT_EQ(f.SpinEditDelta->value(), 5);
    EXPECT_EQ(f.RadioGroupStep->ItemIndex(), 0);
    EXPECT_FALSE(f.CheckBoxAuto->isChecked());
    EXPECT_EQ(f.SpinEditAuto->value(), 1);
    EXPECT_FALSE(f.SpinEditAuto->isEnabled());
    EXPECT_TRUE(f.CheckBoxPause->isChecked());
    EXPECT_FALSE(f.CheckBoxSelectDriver->isChecked());
    EXPECT_FALSE(f.CheckBoxScheduler->isChecked());
    EXPECT_EQ(f.LabelPilote->text(), QStringLiteral("No video driver selected"));
    EXPECT_EQ(f.RadioGroupFrequence->ItemIndex(), 0);
    EXPECT_EQ(f.LabeledEditPrefix->text(), QStringLiteral("ILX"));
    EXPECT_TRUE(f.CheckBoxDate->isChecked());
    EXPECT_EQ(f.DirectoryEditDirImage->Text(), dir.file("Captures"));
    EXPECT_TRUE(QFileInfo(dir.file("Captures")).isDir()) << "the default folder is created";
    EXPECT_EQ(f.TrackBarCompress->value(), 90);
    EXPECT_EQ(f.LabelCompress->text(), QStringLiteral("&Quality:\n90%"));
    EXPECT_TRUE(f.CheckBoxBip->isChecked());
    EXPECT_EQ(f.FilenameEditSound->Text(), QString());
    EXPECT_TRUE(f.CheckBoxSoundLoop->isChecked());
    EXPECT_TRUE(f.CheckBoxLogFile->isChecked());
    EXPECT_TRUE(f.BitBtnTestSOUND->isEnabled());
    EXPECT_FALSE(f.Modified());
    EXPECT_FALSE(f.BitBtnApply->isEnabled());
    EXPECT_FALSE(f.SoundBusy());
    EXPECT_FALSE(f.AutoStartSettled);
    EXPECT_GE(app.updates, 1) << "the main window is told to redraw its status bar";
    EXPECT_FALSE(QFileInfo::exists(dir.file("iLXLE_PARAM.DAT"))) << "loading writes nothing";
}

TEST_F(OptionsTest, StoredValuesAreCleanedAndClampedIntoTheControls)
{
    store("iLXLE_IMAGE.DAT", "Prefix", "I*L/X:Y");
    store("iLXLE_IMAGE.DAT", "Quality", "150");
    store("iLXLE_IMAGE.DAT", "Frequency", "0x3");
    store("iLXLE_PARAM.DAT", "Sharpness", "9");
    store("iLXLE_PARAM.DAT", "Delay", "-4");
    store("iLXLE_PARAM.DAT", "Auto", "1");
    store("iLXLE_PARAM.DAT", "Driver", "Demo camera");
    store("iLXLE_ALERTE.DAT", "Wav", dir.file("gone.wav"));
    store("iLXLE_ALERTE.DAT", "Beep", "0");
    TFormOptions& f = makeForm();
    EXPECT_EQ(f.LabeledEditPrefix->text(), QStringLiteral("ILX"));
    EXPECT_EQ(f.TrackBarCompress->value(), 100);
    EXPECT_EQ(f.LabelCompress->text(), QStringLiteral("&Quality:\n100%"));
    EXPECT_EQ(f.RadioGroupFrequence->ItemIndex(), 3);
    EXPECT_EQ(f.RadioGroupStep->ItemIndex(), 5);
    EXPECT_EQ(f.SpinEditAuto->value(), 0);
    EXPECT_TRUE(f.SpinEditAuto->isEnabled());
    EXPECT_EQ(f.LabelPilote->text(), QStringLiteral("Video driver: Demo camera"));
    EXPECT_EQ(f.FilenameEditSound->Text(), QString()) << "a missing sound file empties the field";
    EXPECT_EQ(f.FilenameEditSound->InitialDir, dir.path());
    EXPECT_FALSE(f.BitBtnTestSOUND->isEnabled());
    EXPECT_FALSE(f.FilenameEditSound->isEnabled());
    EXPECT_FALSE(f.CheckBoxSoundLoop->isEnabled());
    EXPECT_FALSE(f.Modified());
}

TEST_F(OptionsTest, ApplySavesAndStaysOkSavesAndHidesCancelRestoresTheSavedValues)
{
    TFormOptions& f = makeForm();
    f.show();
    f.SpinEditDelta->setValue(12);
    EXPECT_TRUE(f.Modified());
    EXPECT_TRUE(f.BitBtnApply->isEnabled());
    f.BitBtnApply->click();
    EXPECT_FALSE(f.BitBtnApply->isEnabled());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(stored("iLXLE_PARAM.DAT", "Delta"), QStringLiteral("12"));
    EXPECT_EQ(stored("iLXLE_IMAGE.DAT", "Prefix"), QStringLiteral("ILX"));
    EXPECT_EQ(stored("iLXLE_ALERTE.DAT", "Loop"), QStringLiteral("1"));
    EXPECT_EQ(stored("iLXLE_IMAGE.DAT", "LastImage"), QStringLiteral("<absent>"))
        << "the options never write the last picture";

    // Unsaved edits on every page take effect at once, and Cancel undoes them.
    f.SpinEditDelta->setValue(40);
    f.SpinEditLevel->setValue(10);
    f.RadioGroupStep->SetItemIndex(4);
    f.RadioGroupFrequence->SetItemIndex(2);
    f.LabeledEditPrefix->setText(QStringLiteral("Q"));
    f.CheckBoxDate->setChecked(false);
    f.TrackBarCompress->setValue(33);
    f.CheckBoxSoundLoop->setChecked(false);
    f.CheckBoxLogFile->setChecked(false);
    f.CheckBoxPause->setChecked(false);
    f.BitBtnCancel->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.SpinEditDelta->value(), 12);
    EXPECT_EQ(f.SpinEditLevel->value(), 85);
    EXPECT_EQ(f.RadioGroupStep->ItemIndex(), 0);
    EXPECT_EQ(f.RadioGroupFrequence->ItemIndex(), 0);
    EXPECT_EQ(f.LabeledEditPrefix->text(), QStringLiteral("ILX"));
    EXPECT_TRUE(f.CheckBoxDate->isChecked());
    EXPECT_EQ(f.TrackBarCompress->value(), 90);
    EXPECT_EQ(f.LabelCompress->text(), QStringLiteral("&Quality:\n90%"));
    EXPECT_TRUE(f.CheckBoxSoundLoop->isChecked());
    EXPECT_TRUE(f.CheckBoxLogFile->isChecked());
    EXPECT_TRUE(f.CheckBoxPause->isChecked());
    EXPECT_FALSE(f.Modified());

    f.show();
    f.TrackBarCompress->setValue(70);
    f.BitBtnOK->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(stored("iLXLE_IMAGE.DAT", "Quality"), QStringLiteral("70"));
}

TEST_F(OptionsTest, EveryValueSavedIsTheOneShownAfterARestart)
{
    const QString wav = dir.file("bell.wav");
    dir.write("bell.wav", "RIFF");
    QDir().mkpath(dir.file("shots"));
    {
        TFormOptions& f = makeForm();
        f.SpinEditLevel->setValue(61);
        f.SpinEditDelta->setValue(7);
        f.RadioGroupStep->SetItemIndex(3);
        f.CheckBoxAuto->setChecked(true);
        f.SpinEditAuto->setValue(9);
        f.CheckBoxPause->setChecked(false);
        f.CheckBoxSelectDriver->setChecked(true);
        f.SetDriverName(QStringLiteral("USB cam"));
        f.RadioGroupFrequence->SetItemIndex(5);
        f.LabeledEditPrefix->setText(QStringLiteral("Cam"));
        f.CheckBoxDate->setChecked(false);
        f.DirectoryEditDirImage->SetText(dir.file("shots"));
        f.TrackBarCompress->setValue(42);
        f.FilenameEditSound->SetText(wav);
        f.CheckBoxSoundLoop->setChecked(false);
        f.CheckBoxLogFile->setChecked(false);
        f.CheckBoxBip->setChecked(false);
        f.BitBtnApply->click();
        form.reset();
    }
    TFormOptions& f = makeForm();
    EXPECT_EQ(f.SpinEditLevel->value(), 61);
    EXPECT_EQ(f.SpinEditDelta->value(), 7);
    EXPECT_EQ(f.RadioGroupStep->ItemIndex(), 3);
    EXPECT_TRUE(f.CheckBoxAuto->isChecked());
    EXPECT_EQ(f.SpinEditAuto->value(), 9);
    EXPECT_FALSE(f.CheckBoxPause->isChecked());
    EXPECT_TRUE(f.CheckBoxSelectDriver->isChecked());
    EXPECT_EQ(f.DriverName(), QStringLiteral("USB cam"));
    EXPECT_EQ(f.RadioGroupFrequence->ItemIndex(), 5);
    EXPECT_EQ(f.LabeledEditPrefix->text(), QStringLiteral("Cam"));
    EXPECT_FALSE(f.CheckBoxDate->isChecked());
    EXPECT_EQ(f.DirectoryEditDirImage->Text(), dir.file("shots"));
    EXPECT_EQ(f.TrackBarCompress->value(), 42);
    EXPECT_EQ(f.FilenameEditSound->Text(), wav);
    EXPECT_EQ(f.FilenameEditSound->InitialDir, dir.path());
    EXPECT_FALSE(f.CheckBoxSoundLoop->isChecked());
    EXPECT_FALSE(f.CheckBoxLogFile->isChecked());
    EXPECT_FALSE(f.CheckBoxBip->isChecked());
}

TEST_F(OptionsTest, APrefixTakesNoSeparatorsNoBlanksAndAtMostThreeCharacters)
{
    TFormOptions& f = makeForm();
    f.show();
    QApplication::setActiveWindow(&f);
    QLineEdit* edit = f.LabeledEditPrefix;
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("a b"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab"));
    QTest::keyClicks(edit, QStringLiteral(":\\/*"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab"));
    QTest::keyClicks(edit, QStringLiteral("cd"));
    EXPECT_EQ(edit->text(), QStringLiteral("abc")) << "a fourth character cannot be typed";

    edit->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("ABCDE"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("ABC"));
    // A pasted separator would end up in every picture's file name.
    edit->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("A:B"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("AB"));
    EXPECT_TRUE(f.Modified());

    edit->clear();
    f.SpinEditLevel->setFocus(); // leaving the field
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), QStringLiteral("ILX"));
}

TEST_F(OptionsTest, TheQualityMovesByOneWithTheButtonsAndTheKeypadAndStaysInRange)
{
    TFormOptions& f = makeForm();
    f.show();
    f.TrackBarCompress->setValue(99);
    QTest::keyClick(f.SpinEditLevel, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(f.TrackBarCompress->value(), 100);
    QTest::keyClick(f.SpinEditLevel, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(f.TrackBarCompress->value(), 100);
    EXPECT_EQ(f.LabelCompress->text(), QStringLiteral("&Quality:\n100%"));
    EXPECT_EQ(f.SpinEditLevel->value(), 85) << "the key went to the quality, not the field";
    f.BitBtnMinus->click();
    EXPECT_EQ(f.TrackBarCompress->value(), 99);
    f.TrackBarCompress->setValue(0);
    QTest::keyClick(&f, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(f.TrackBarCompress->value(), 0);
    f.BitBtnPlus->click();
    EXPECT_EQ(f.LabelCompress->text(), QStringLiteral("&Quality:\n1%"));
}

TEST_F(OptionsTest, ClearingTheAlarmDisablesTheSoundControlsAndMarksAnEdit)
{
    TFormOptions& f = makeForm();
    const int updatesBefore = app.updates;
    f.CheckBoxBip->setChecked(false);
    EXPECT_FALSE(f.BitBtnTestSOUND->isEnabled());
    EXPECT_FALSE(f.FilenameEditSound->isEnabled());
    EXPECT_FALSE(f.CheckBoxSoundLoop->isEnabled());
    EXPECT_TRUE(f.Modified());
    QCoreApplication::processEvents();
    EXPECT_GT(app.updates, updatesBefore) << "the status bar's alarm icon follows";
    f.CheckBoxBip->setChecked(true);
    EXPECT_TRUE(f.BitBtnTestSOUND->isEnabled());
    EXPECT_TRUE(f.FilenameEditSound->isEnabled());
    EXPECT_TRUE(f.CheckBoxSoundLoop->isEnabled());
}

TEST_F(OptionsTest, TheStartUpCountdownRunsDownFromTheDelay)
{
    std::uint32_t tick = 50000;
    SetTickSource([&] { return tick; });
    TFormOptions& f = makeForm();
    QString text = QStringLiteral("x");
    EXPECT_TRUE(f.AutoStartCountdown(text)) << "no automatic start: nothing to wait for";
    EXPECT_EQ(text, QString());

    f.CheckBoxAuto->setChecked(true);
    EXPECT_TRUE(f.SpinEditAuto->isEnabled());
    f.SpinEditAuto->setValue(1);
    EXPECT_FALSE(f.AutoStartCountdown(text));
    EXPECT_EQ(text, QStringLiteral("Start scanning in 00:01:00"));
    tick += 1500;
    EXPECT_FALSE(f.AutoStartCountdown(text));
    EXPECT_EQ(text, QStringLiteral("Start scanning in 00:00:58"));
    tick += 58500;
    EXPECT_TRUE(f.AutoStartCountdown(text));
    EXPECT_EQ(text, QStringLiteral("Start scanning in 00:00:00"));

    // Clearing the box gives the delay up; checking it again does not restart it.
    tick = 10 * 60 * 60 * 1000;
    f.CheckBoxAuto->setChecked(false);
    EXPECT_EQ(f.AutoStartTick, 0u);
    EXPECT_FALSE(f.SpinEditAuto->isEnabled());
    f.CheckBoxAuto->setChecked(true);
    EXPECT_TRUE(f.AutoStartCountdown(text));
}

TEST_F(OptionsTest, TheSchedulerBoxAndTheEditorTellTheMainWindow)
{
    TFormOptions& f = makeForm();
    app.schedules.clear();
    f.CheckBoxScheduler->setChecked(true);
    QCoreApplication::processEvents();
    ASSERT_EQ(app.schedules.size(), 1);
    EXPECT_EQ(app.schedules.last(), std::make_pair(std::intptr_t(0), std::intptr_t(1)));
    EXPECT_TRUE(f.Modified());

    int edited = 0;
    f.SetScheduleEditor([&](QWidget* owner) {
        EXPECT_EQ(owner, &f);
        ++edited;
    });
    f.BitBtnSchedulerEdit->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(edited, 1);
    ASSERT_EQ(app.schedules.size(), 2);
    EXPECT_EQ(app.schedules.last(), std::make_pair(std::intptr_t(1), std::intptr_t(1)));

    f.CheckBoxScheduler->setChecked(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(app.schedules.last(), std::make_pair(std::intptr_t(0), std::intptr_t(0)));
}

TEST_F(OptionsTest, ViewingAMissingLogWarnsAndAnExistingOneOpensInTheViewer)
{
    TFormOptions& f = makeForm();
    QStringList opened;
    f.SetLogViewer([&](const QString& path) {
        opened.append(path);
        return true;
    });
    {
        ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
        f.ButtonSOUNDLog->click();
        EXPECT_TRUE(answer.answered());
        EXPECT_EQ(answer.text(), QStringLiteral("Logfile: \n") + dir.file("iLXLE_SOUND.LOG") +
                                     QStringLiteral("\nnot found !\nNo logfile was created."));
    }
    EXPECT_TRUE(opened.isEmpty());

    dir.write("iLXLE_SOUND.LOG", "Logfile \"Sound Alarm\"\r\n");
    f.ButtonSOUNDLog->click();
    EXPECT_EQ(opened, QStringList{dir.file("iLXLE_SOUND.LOG")});

    f.SetLogViewer([](const QString&) { return false; });
    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
    f.ButtonSOUNDLog->click();
    EXPECT_EQ(answer.text(),
              QStringLiteral("Unable to open logfile:\n") + dir.file("iLXLE_SOUND.LOG"));
}

TEST_F(OptionsTest, HelpNumbersComeFromTheControlItsLabelOrItsParents)
{
    TFormOptions& f = makeForm();
    EXPECT_EQ(TFormOptions::HelpContextOf(f.SpinEditLevel), 40110);
    auto labels = f.findChildren<QLabel*>();
    auto labelFor = [&](const QString& text) -> QLabel* {
        for (QLabel* l : labels)
            if (l->text() == text)
                return l;
        return nullptr;
    };
    ASSERT_NE(labelFor("&Sensibility (%):"), nullptr);
    EXPECT_EQ(TFormOptions::HelpContextOf(labelFor("&Sensibility (%):")), 40110);
    EXPECT_EQ(TFormOptions::HelpContextOf(labelFor("minute")), 40140);
    EXPECT_EQ(TFormOptions::HelpContextOf(f.LabelPilote), 6000);
    EXPECT_EQ(TFormOptions::HelpContextOf(f.DirectoryEditDirImage->Button()), 41140);
    EXPECT_EQ(TFormOptions::HelpContextOf(f.PaintBoxBip), 41210);
    EXPECT_EQ(TFormOptions::HelpContextOf(f.ButtonSOUNDLog), 6000);
    // Pages without a number of their own use the page control's.
    EXPECT_EQ(TFormOptions::HelpContextOf(labelFor("Execute on detection:")), -41200);
    EXPECT_EQ(TFormOptions::HelpContextOf(f.PageControl->widget(1)), -40000);
    EXPECT_EQ(TFormOptions::HelpContextOf(f.BitBtnOK), 6000) << "nothing up the chain: 6000";

    // A help request shows a pop-up for a positive number, the page topic otherwise.
    QList<std::pair<TFormOptions::HelpAction, int>> asked;
    f.SetHelpHandler([&](TFormOptions::HelpAction a, int topic, QPoint) {
        asked.append({a, topic});
    });
    f.CheckBoxBip->setChecked(false); // disabled controls answer too
    f.ShowHelpAt(f.CheckBoxSoundLoop, QPoint(10, 10));
    f.ShowHelpAt(f.PageControl->widget(0), QPoint(10, 10));
    f.BitBtnHelp->click();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0], std::make_pair(TFormOptions::HelpAction::Popup, 41212));
    EXPECT_EQ(asked[1], std::make_pair(TFormOptions::HelpAction::Topic, 40100));
    EXPECT_EQ(asked[2].first, TFormOptions::HelpAction::Contents);
}

TEST_F(OptionsTest, TheCloseBoxHidesAndKeepsTheEditsUnsaved)
{
    TFormOptions& f = makeForm();
    f.show();
    f.SpinEditLevel->setValue(20);
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.SpinEditLevel->value(), 20);
    EXPECT_TRUE(f.Modified());
    EXPECT_FALSE(QFileInfo::exists(dir.file("iLXLE_PARAM.DAT")));
}

TEST_F(OptionsTest, AFolderChosenInTheBrowseDialogLosesItsTrailingSlash)
{
    TFormOptions& f = makeForm();
    QDir().mkpath(dir.file("pics"));
    QString startedIn;
    f.DirectoryEditDirImage->Dialog = [&](QWidget*, const QString& title, const QString& start) {
        EXPECT_EQ(title, QStringLiteral("Select folder"));
        startedIn = start;
        return dir.file("pics") + QStringLiteral("/");
    };
    f.DirectoryEditDirImage->Button()->click();
    EXPECT_EQ(startedIn, dir.file("Captures"));
    EXPECT_EQ(f.DirectoryEditDirImage->Text(), dir.file("pics"));
    EXPECT_TRUE(f.Modified());

    // A folder that vanished before the dialog closed is refused.
    f.DirectoryEditDirImage->Dialog = [&](QWidget*, const QString&, const QString&) {
        return dir.file("nowhere");
    };
    f.DirectoryEditDirImage->Button()->click();
    EXPECT_EQ(f.DirectoryEditDirImage->Text(), dir.file("pics"));
    EXPECT_TRUE(f.DirectoryEditDirImage->Edit()->isReadOnly()) << "no typing into the field";
}

TEST_F(OptionsTest, EditOpensTheScheduleEditorModallyThenTheMainWindowReloadsTheSchedule)
{
    TFormOptions& f = makeForm();
    app.schedules.clear();
    QString seen;
    ModalAnswerer answer([&](QWidget* modal) {
        seen = QString::fromLatin1(modal->metaObject()->className());
        modal->close();
    });
    f.BitBtnSchedulerEdit->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(seen, QStringLiteral("TFormPeriod"));
    ASSERT_EQ(app.schedules.size(), 1);
    EXPECT_EQ(app.schedules.last(), std::make_pair(std::intptr_t(1), std::intptr_t(0)));
}
