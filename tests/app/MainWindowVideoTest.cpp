#include "DataPaths.h"
#include "ModalAnswerer.h"
#include "ScratchDir.h"
#include "ScriptedCaptureDriver.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TRadioGroup.h"
#include "TScanController.h"
#include "TVideoCam.h"
#include "VideoInfoText.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <deque>

namespace {

const QString kDriverName = QStringLiteral("Scripted camera");

VideoFormat Format(int w, int h, int bits = 24)
{
    VideoFormat f;
    f.header.width = w;
    f.header.height = h;
    f.header.bitCount = static_cast<std::uint16_t>(bits);
    f.header.sizeImage = static_cast<std::uint32_t>(w * h * bits / 8);
    return f;
}

// A driver whose format dialog picks the next size of a list, as a user
// trying sizes would.
class DialogDriver final : public ScriptedCaptureDriver
{
public:
    std::deque<QSize> dialogChoices;
    int formatDialogs = 0;

    void showFormatDialog(QWidget* parent) override
    {
        ScriptedCaptureDriver::showFormatDialog(parent);
        ++formatDialogs;
        if (dialogChoices.empty())
            return;
        const QSize s = dialogChoices.front();
        dialogChoices.pop_front();
        auto f = videoFormat().value_or(Format(s.width(), s.height()));
        f.header.width = s.width();
        f.header.height = s.height();
        setVideoFormat(f);
    }
};

// Every data file of the program in a scratch folder, with the scripted
// camera chosen and no stability wait.
class MainWindowVideo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetDataFolder(dir.path());
        dir.write("iLXLE.INI", "[Setup]\r\nStabilite=0\r\n");
        dir.write("iLXLE_PARAM.DAT",
                  "[Setup]\r\nDriver=" + kDriverName.toUtf8() + "\r\nSelect=0\r\n");
        dir.write("iLXLE_ALERTE.DAT", "[Setup]\r\nBeep=0\r\nLog=0\r\n");
    }
    void TearDown() override { SetDataFolder(QString()); }

    std::unique_ptr<DialogDriver> Driver(int w = 320, int h = 240)
    {
        auto d = std::make_unique<DialogDriver>();
        d->setDriver(0, kDriverName);
        DriverCaps caps;
        caps.hasDlgVideoFormat = 1;
        caps.hasDlgVideoSource = 1;
        d->setCaps(caps);
        d->setInitialFormat(Format(w, h));
        return d;
    }

    static void Start(TFormMainLE& form)
    {
        form.show();
        for (int i = 0; i < 50 && form.FirstActivationPending(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    ScratchDir dir;
};

} // namespace

TEST_F(MainWindowVideo, StartsLiveOnTheStoredDriverWithItsNameInTheCaption)
{
    TFormMainLE form(Driver());
    Start(form);
    ASSERT_FALSE(form.FirstActivationPending());
    EXPECT_TRUE(form.VideoCam()->Active());
    EXPECT_EQ(form.windowTitle(), "i-Lumerix LE [Scripted camera] -")
        << "the first connection's caption, before any heartbeat";
    EXPECT_TRUE(form.Scan().TimerScan().isActive()) << "the scan timer runs with the video";
    const auto& s = form.CommandStates();
    EXPECT_TRUE(s.AnalyseButton && s.FormatButton && s.SourceButton);
    EXPECT_FALSE(s.DisplayButton) << "the driver offers no display dialog";
    EXPECT_FALSE(s.Driver);
    EXPECT_TRUE(s.OptionsButton);
    EXPECT_EQ(form.findChild<QAction*>("MenuItemConnect")->text(), "&Disable video");
}

TEST_F(MainWindowVideo, FormatDialogInsistsOnASizeWithinTheLimits)
{
    auto driver = Driver();
    DialogDriver* d = driver.get();
    TFormMainLE form(std::move(driver));
    Start(form);
    d->dialogChoices = {QSize(640, 480), QSize(64, 48), QSize(176, 144)};
    QStringList warnings;
    std::function<void()> answerNext;
    auto answerer = [&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            warnings << box->text();
            box->accept();
        }
    };
    ModalAnswerer first(answerer);
    // The second warning comes while the first answerer is spent.
    QTimer again;
    again.setInterval(50);
    QObject::connect(&again, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            warnings << box->text();
            box->accept();
        }
    });
    again.start();
    form.findChild<QToolButton*>("RxSpeedButtonFormat")->click();
    again.stop();
    EXPECT_EQ(d->formatDialogs, 3);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_EQ(warnings[0], "Video format too big !\nMax: 352x288");
    EXPECT_EQ(warnings[1], "Video format too small !\nMin: 80x30");
    EXPECT_EQ(form.VideoCam()->VideoWidth(), 176);
    EXPECT_TRUE(form.VideoCam()->statusTip().startsWith("Video:176x144 24 bits RGB"));
}

// The scan cycle's timing starts afresh after a format change: a cycle of
// the new size has not been measured yet.
TEST_F(MainWindowVideo, FormatChangeDropsTheDelayTheScanCycleBuiltUp)
{
    dir.write("iLXLE_PARAM.DAT",
              "[Setup]\r\nDriver=" + kDriverName.toUtf8() + "\r\nSelect=0\r\nPause=0\r\n");
    auto driver = Driver();
    DialogDriver* d = driver.get();
    TFormMainLE form(std::move(driver));
    Start(form);
    TScanController& scan = form.Scan();
    form.findChild<QToolButton*>("RxSpeedButtonAnalyse")->click();
    ASSERT_TRUE(scan.Scanning());
    // A tick that finds the previous cycle still running delays the next ones.
    scan.SetScanReady(false);
    scan.TimerScanTimer(nullptr);
    ASSERT_GT(scan.ScanDelay(), 0);
    ASSERT_EQ(scan.TimerScan().interval(), 250 + scan.ScanDelay());

    auto* format = form.findChild<QToolButton*>("RxSpeedButtonFormat");
    ASSERT_TRUE(format->isEnabled()) << "scanning without pause leaves the format command on";
    d->dialogChoices = {QSize(176, 144)};
    format->click();
    EXPECT_EQ(form.VideoCam()->VideoWidth(), 176);
    EXPECT_EQ(scan.ScanDelay(), 0);
    EXPECT_EQ(scan.TimerScan().interval(), 250);
    EXPECT_TRUE(scan.ScanReady());
}

TEST_F(MainWindowVideo, OptionsCommandGivesTheScanTimerTheChosenFrequency)
{
    TFormMainLE form(Driver());
    Start(form);
    TFormOptions* options = form.Options();
    ASSERT_NE(options, nullptr);
    options->RadioGroupFrequence->SetItemIndex(3); // 5 s
    ASSERT_EQ(form.Scan().TimerScan().interval(), 250) << "the choice alone changes nothing";
    form.findChild<QToolButton*>("RxSpeedButtonOptions")->click();
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(form.Scan().BaseInterval(), 5000);
    EXPECT_EQ(form.Scan().TimerScan().interval(), 5000);
    EXPECT_EQ(form.Scan().ScanDelay(), 0);
}

TEST_F(MainWindowVideo, WithoutAnyDeviceConnectIsOffAndTheCaptionStaysPlain)
{
    dir.write("iLXLE_PARAM.DAT", "[Setup]\r\nDriver=Gone camera\r\nSelect=0\r\n");
    auto driver = std::make_unique<ScriptedCaptureDriver>();
    TFormMainLE form(std::move(driver));
    Start(form);
    EXPECT_FALSE(form.CommandStates().ConnectButton);
    EXPECT_TRUE(form.CommandStates().Driver);
    EXPECT_EQ(form.windowTitle(), "i-Lumerix LE ");
    EXPECT_TRUE(form.InfoText().isEmpty());
}

TEST_F(MainWindowVideo, DisconnectGivesTheDriverChoiceBack)
{
    TFormMainLE form(Driver());
    Start(form);
    form.findChild<QToolButton*>("RxSpeedButtonConnect")->click();
    EXPECT_FALSE(form.VideoCam()->Active());
    EXPECT_FALSE(form.Scan().TimerScan().isActive());
    EXPECT_TRUE(form.CommandStates().Driver);
    EXPECT_FALSE(form.CommandStates().AnalyseButton);
    EXPECT_EQ(form.windowTitle(), "i-Lumerix LE ");
    EXPECT_EQ(form.findChild<QAction*>("MenuItemConnect")->text(), "&Activate video");
    // A later connection puts a space before the bracket.
    form.findChild<QToolButton*>("RxSpeedButtonConnect")->click();
    EXPECT_EQ(form.windowTitle(), "i-Lumerix LE  [Scripted camera] -");
}

TEST_F(MainWindowVideo, EscapeStopsScanningWithAMessageAndDoesNothingOtherwise)
{
    TFormMainLE form(Driver());
    Start(form);
    {
        ModalAnswerer none(PressMessageBoxButton(QMessageBox::Ok), 300);
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_FALSE(none.answered()) << "no message while scanning is off";
    }
    form.findChild<QToolButton*>("RxSpeedButtonAnalyse")->click();
    ASSERT_TRUE(form.Scan().Scanning());
    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(answer.text(), "Scanning canceled");
    EXPECT_FALSE(form.Scan().Scanning());
}

TEST(VideoInfoText, FormatAndColourCountAreSpelledOut)
{
    EXPECT_EQ(ColourCountText(8), QLocale::system().toString(256));
    EXPECT_EQ(VideoInfoText("Picture:", 80, 30, 1), "Picture:80x30 1 bits RGB (2 colors)");
    EXPECT_TRUE(VideoInfoText("Video:", 352, 288, 24).startsWith("Video:352x288 24 bits RGB ("));
    EXPECT_EQ(ColourCountText(24), QLocale::system().toString(16777216));
}
