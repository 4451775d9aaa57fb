#include "DataPaths.h"
#include "ModalAnswerer.h"
#include "ScratchDir.h"
#include "ScriptedCaptureDriver.h"
#include "TFormMainLE.h"
#include "THelpWindow.h"
#include "TStatusBarVideo.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>
#include <QWhatsThis>

#include <gtest/gtest.h>

namespace {

template <typename T> T* Child(QObject* parent, const char* name)
{
    T* c = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// A window on a scripted camera, every data file in a scratch folder, the
// driver chosen so no dialog opens.
class Window
{
public:
    Window()
    {
        SetDataFolder(dir.path());
        dir.write("iLXLE.INI", "[Setup]\r\nStabilite=0\r\n");
        dir.write("iLXLE_PARAM.DAT", "[Setup]\r\nDriver=Cam\r\nSelect=0\r\n");
        auto driver = std::make_unique<ScriptedCaptureDriver>();
        driver->setDriver(0, QStringLiteral("Cam"));
        form = std::make_unique<TFormMainLE>(std::move(driver));
    }
    ~Window()
    {
        form.reset();
        SetDataFolder(QString());
    }
    TFormMainLE* operator->() const { return form.get(); }
    TFormMainLE* get() const { return form.get(); }
    TFormMainLE& operator*() const { return *form; }

    ScratchDir dir;
    std::unique_ptr<TFormMainLE> form;
};

} // namespace

TEST(MainWindow, EveryControlAndMenuItemCarriesItsName)
{
    Window w;
    TFormMainLE& form = *w;
    for (const char* name : {"RxSpeedButtonPlay", "RxSpeedButtonPause", "RxSpeedButtonConnect",
                             "RxSpeedButtonAnalyse", "RxSpeedButtonFrame", "RxSpeedButtonScheduler",
                             "RxSpeedButtonOptions", "RxSpeedButtonFormat", "RxSpeedButtonSource",
                             "RxSpeedButtonDisplay", "RxSpeedButtonPreview", "RxSpeedButtonHelp"})
        Child<QToolButton>(&form, name);
    for (const char* name :
         {"MenuItemModeVideo", "MenuItemPreview", "MenuItemFermer", "MenuItemConnect",
          "MenuItemAnalyse", "MenuItemFrame", "MenuItemSchedulerActivate", "MenuItemSchedulerEdit",
          "MenuItemOptions", "MenuItemPilote", "MenuItemFormat", "MenuItemSource",
          "MenuItemDisplay", "MenuItemAide", "MenuItemWhatsThis", "MenuItemAbout", "MenuItemWeb",
          "PopupWhatsThis"})
        Child<QAction>(&form, name);
    for (const char* name : {"MenuItemFichier", "MenuItemVideo", "MenuItemScheduler", "N4"})
        Child<QMenu>(&form, name);
    Child<QCheckBox>(&form, "CheckBoxScaleVideo");
    Child<QLabel>(&form, "PanelInfo");
    Child<QWidget>(&form, "PanelVideo");
    Child<QWidget>(&form, "StatusBarVideo");
    EXPECT_EQ(form.windowTitle(), "i-Lumerix LE ");
}

TEST(MainWindow, ToolBarShowsNoToolTipsAndHintsGoToPanelZero)
{
    Window w;
    TFormMainLE& form = *w;
    form.show();
    for (QToolButton* b : form.findChildren<QToolButton*>())
        EXPECT_TRUE(b->toolTip().isEmpty()) << b->objectName().toStdString();
    auto* connect = Child<QToolButton>(&form, "RxSpeedButtonConnect");
    QStatusTipEvent tip(connect->statusTip());
    QCoreApplication::sendEvent(connect, &tip);
    EXPECT_EQ(form.StatusBar()->PanelText(0), "Activate/deactivate video");
}

// A disabled tool button plainly looks it, whatever the colours of its glyph
// (a mostly white clock looked the same): enabled and disabled differ by 20
// grey levels on average over the glyph's area.
TEST(MainWindow, EveryToolButtonLooksDisabledWhenItIs)
{
    Window w;
    TFormMainLE& form = *w;
    form.show();
    for (QToolButton* b : form.findChildren<QToolButton*>()) {
        if (!b->objectName().startsWith("RxSpeedButton"))
            continue; // the tool bar's, not the toolkit's own
        const bool was = b->isEnabled();
        b->setEnabled(true);
        const QImage on = b->grab().toImage();
        b->setEnabled(false);
        const QImage off = b->grab().toImage();
        b->setEnabled(was);
        long long diff = 0;
        for (int y = 0; y < on.height(); ++y)
            for (int x = 0; x < on.width(); ++x)
                diff += std::abs(qGray(on.pixel(x, y)) - qGray(off.pixel(x, y)));
        const QSize glyph = b->iconSize();
        EXPECT_GE(diff, 20LL * glyph.width() * glyph.height()) << b->objectName().toStdString();
    }
}

TEST(MainWindow, AtStartPlayIsDownAndVideoCommandsWaitForVideo)
{
    Window w;
    TFormMainLE& form = *w;
    EXPECT_TRUE(Child<QToolButton>(&form, "RxSpeedButtonPlay")->isChecked());
    EXPECT_FALSE(Child<QToolButton>(&form, "RxSpeedButtonPause")->isChecked());
    EXPECT_FALSE(Child<QToolButton>(&form, "RxSpeedButtonAnalyse")->isEnabled());
    EXPECT_FALSE(Child<QAction>(&form, "MenuItemFormat")->isEnabled());
    EXPECT_TRUE(Child<QAction>(&form, "MenuItemPilote")->isEnabled());
    EXPECT_EQ(Child<QAction>(&form, "MenuItemAnalyse")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(Child<QAction>(&form, "MenuItemFermer")->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_Q));
}

TEST(MainWindow, HelpContextsComeFromTheControlOrItsParents)
{
    Window w;
    TFormMainLE& form = *w;
    EXPECT_EQ(form.HelpContextOf(Child<QToolButton>(&form, "RxSpeedButtonConnect")), 20070);
    EXPECT_EQ(form.HelpContextOf(Child<QWidget>(&form, "PanelVideo")), 20020);
    EXPECT_EQ(form.HelpContextOf(Child<QLabel>(&form, "ImageFreeze")), 20020);
    EXPECT_EQ(form.HelpContextOf(Child<QWidget>(&form, "StatusBarVideo")), 20120);
    // The Help button has no number of its own: the tool bar's applies.
    EXPECT_EQ(form.HelpContextOf(Child<QToolButton>(&form, "RxSpeedButtonHelp")), 6000);
    EXPECT_EQ(form.HelpContextOf(Child<QWidget>(&form, "ClientArea")), -10000);
}

TEST(MainWindow, HelpModeClickShowsTheControlsPopupAndKeepsTheMode)
{
    Window w;
    TFormMainLE& form = *w;
    form.HelpWindow()->SetHelpFile(QStringLiteral(ILX_HELP_FILE));
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    form.RxSpeedButtonHelpClick();
    ASSERT_TRUE(form.HelpMode());
    EXPECT_TRUE(Child<QAction>(&form, "MenuItemWhatsThis")->isChecked());
    EXPECT_TRUE(Child<QToolButton>(&form, "RxSpeedButtonHelp")->isChecked());

    // Disabled at start, yet a help click on it still explains it.
    auto* connect = Child<QToolButton>(&form, "RxSpeedButtonAnalyse");
    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_TRUE(form.HelpWindow()->LastPopupHtml().contains("Scanning"));
    EXPECT_TRUE(form.HelpMode());

    // A control with no number up its chain opens topic 10000 in the viewer.
    QWhatsThis::hideText();
    auto* bare = new QWidget(Child<QWidget>(&form, "ClientArea"));
    bare->setGeometry(0, 40, 30, 30);
    bare->show();
    bare->raise();
    QTest::mouseClick(bare, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.HelpWindow()->CurrentTopic(), 10000);
    EXPECT_TRUE(form.HelpWindow()->isVisible());

    form.RxSpeedButtonHelpClick();
    EXPECT_FALSE(form.HelpMode());
    EXPECT_FALSE(Child<QAction>(&form, "MenuItemWhatsThis")->isChecked());
}

TEST(MainWindow, RightClickOffersWhatIsItForTheVideoPanel)
{
    Window w;
    TFormMainLE& form = *w;
    form.HelpWindow()->SetHelpFile(QStringLiteral(ILX_HELP_FILE));
    form.show();
    QApplication::setActiveWindow(&form);
    auto* panel = Child<QWidget>(&form, "PanelVideo");
    auto* menu = Child<QMenu>(&form, "WhatsThisPopupmenu");
    QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_TRUE(menu->isVisible());
    Child<QAction>(&form, "PopupWhatsThis")->trigger();
    menu->hide();
    EXPECT_TRUE(form.HelpWindow()->LastPopupHtml().contains("Video view"));
}

TEST(MainWindow, DetectionCounterShowsInPanelOne)
{
    Window w;
    TFormMainLE& form = *w;
    EXPECT_EQ(form.StatusBar()->PanelText(1), "0");
    form.SetDetectionCount(12);
    EXPECT_EQ(form.StatusBar()->PanelText(1), "12");
    EXPECT_EQ(form.DetectionCount(), 12);
}

TEST(MainWindow, CounterPanelIsRedWithDetectionsAndPlainWithout)
{
    Window w;
    TFormMainLE& form = *w;
    form.resize(600, 252);
    form.show();
    auto* bar = form.StatusBar();
    const QPoint centreOfCounter(2 + bar->PanelWidth(0) + 5, bar->height() / 2);
    const QImage none = bar->grab().toImage();
    EXPECT_NE(none.pixelColor(centreOfCounter), QColor(Qt::red));
    form.SetDetectionCount(1);
    const QImage one = bar->grab().toImage();
    EXPECT_EQ(one.pixelColor(centreOfCounter), QColor(Qt::red));
}

TEST(MainWindow, FlashTogglesOnlyWhileMinimisedWithDetections)
{
    Window w;
    TFormMainLE& form = *w;
    form.show();
    form.TimerFlashTimer();
    EXPECT_EQ(form.FlashToggles(), 0) << "not minimised";
    form.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    if (!form.isMinimized())
        GTEST_SKIP() << "this platform cannot minimise";
    form.TimerFlashTimer();
    EXPECT_EQ(form.FlashToggles(), 0) << "no detection yet";
    form.SetDetectionCount(1);
    form.TimerFlashTimer();
    form.TimerFlashTimer();
    EXPECT_EQ(form.FlashToggles(), 2);
}

TEST(MainWindow, ACameraErrorClearsTheInfoLineShowsTheMessageAndEnablesOptions)
{
    Window w;
    TFormMainLE& form = *w;
    form.SetInfoText(QStringLiteral("Initialization..."));
    ASSERT_FALSE(form.CommandStates().OptionsButton);
    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
    form.HandleApplicationError(QStringLiteral("Video error: 7"), TErrorSource::Camera);
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(answer.text(), "Video error: 7");
    EXPECT_TRUE(form.InfoText().isEmpty());
    EXPECT_TRUE(form.CommandStates().OptionsButton);
    EXPECT_TRUE(Child<QToolButton>(&form, "RxSpeedButtonOptions")->isEnabled());
}
