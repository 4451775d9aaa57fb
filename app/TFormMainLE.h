#pragma once

#include "TCommandRules.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class TStatusBarVideo;
class THelpWindow;

// The main window: live video or its still, the menu, the tool bar, the
// information line and the status bar. It lives for the whole run and owns
// every long-lived part of the program.
class TFormMainLE : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMainLE(QWidget* parent = nullptr);
    ~TFormMainLE() override;

    // The designed caption; the driver name and the heartbeat follow it.
    static constexpr const char* kBaseCaption = "i-Lumerix LE ";

    // State shown to the user; tests read it through these.
    const TCommandStates& CommandStates() const { return commands_; }
    QString InfoText() const;
    void SetInfoText(const QString& text);
    int DetectionCount() const { return detectionCount_; }
    void SetDetectionCount(int count);
    bool HelpMode() const { return helpMode_; }
    THelpWindow* HelpWindow() const { return helpWindow_; }
    int FlashToggles() const { return flashToggles_; }
    TStatusBarVideo* StatusBar() const { return statusBar_; }

    // The help number of a widget: its own, else its parents', else the
    // window's fallback.
    int HelpContextOf(const QWidget* widget) const;

    // The application's error handler: what the user sees when an error
    // escapes a command.
    void HandleApplicationError(const QString& message);

    // The running copy was asked to come to the front by a second copy.
    void BringToFront();

    // Command handlers, shared by a menu item and its tool-bar button.
    void RxSpeedButtonHelpClick();
    void PopupWhatsThisClick();
    void MenuItemAideClick();
    void MenuItemAboutClick();
    void MenuItemWebClick();
    void TimerFlashTimer();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateToolBar();
    void CreateMenus();
    void CreatePanels();
    void CreateStatusBar();
    void SetHelpContexts();
    void ApplyCommandStates();
    void PlaceZoomBox();
    void CentreOnScreen();

    QToolButton* AddSpeedButton(const char* name, int x, int glyph, const QString& hint,
                                int helpTag);
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                         const QKeySequence& shortcut = {});

    // Context help by mouse press; true when the press was taken.
    bool HelpClick(QWidget* pressed, const QPoint& globalPos, Qt::MouseButton button);
    void ShowHelpNumber(int context, const QPoint& globalPos);
    bool HandleKey(QKeyEvent* key);

    // Layout
    QWidget* PanelButton = nullptr;
    QLabel* PanelInfo = nullptr;
    QFrame* PanelVideo = nullptr;
    QLabel* ImageFreeze = nullptr;
    TStatusBarVideo* statusBar_ = nullptr;
    QCheckBox* CheckBoxScaleVideo = nullptr;

    QToolButton* RxSpeedButtonPlay = nullptr;
    QToolButton* RxSpeedButtonPause = nullptr;
    QToolButton* RxSpeedButtonConnect = nullptr;
    QToolButton* RxSpeedButtonAnalyse = nullptr;
    QToolButton* RxSpeedButtonFrame = nullptr;
    QToolButton* RxSpeedButtonScheduler = nullptr;
    QToolButton* RxSpeedButtonOptions = nullptr;
    QToolButton* RxSpeedButtonFormat = nullptr;
    QToolButton* RxSpeedButtonSource = nullptr;
    QToolButton* RxSpeedButtonDisplay = nullptr;
    QToolButton* RxSpeedButtonPreview = nullptr;
    QToolButton* RxSpeedButtonHelp = nullptr;

    QMenu* MenuItemFichier = nullptr;
    QMenu* MenuItemVideo = nullptr;
    QMenu* MenuItemScheduler = nullptr;
    QMenu* N4 = nullptr;
    QAction* MenuItemModeVideo = nullptr;
    QAction* MenuItemPreview = nullptr;
    QAction* MenuItemFermer = nullptr;
    QAction* MenuItemConnect = nullptr;
    QAction* MenuItemAnalyse = nullptr;
    QAction* MenuItemFrame = nullptr;
    QAction* MenuItemSchedulerActivate = nullptr;
    QAction* MenuItemSchedulerEdit = nullptr;
    QAction* MenuItemOptions = nullptr;
    QAction* MenuItemPilote = nullptr;
    QAction* MenuItemFormat = nullptr;
    QAction* MenuItemSource = nullptr;
    QAction* MenuItemDisplay = nullptr;
    QAction* MenuItemAide = nullptr;
    QAction* MenuItemWhatsThis = nullptr;
    QAction* MenuItemAbout = nullptr;
    QAction* MenuItemWeb = nullptr;
    QMenu* WhatsThisPopupmenu = nullptr;
    QAction* PopupWhatsThis = nullptr;

    QTimer TimerScan;
    QTimer TimerFlash;
    QTimer TimerScheduler;

    THelpWindow* helpWindow_ = nullptr;

    TCommandStates commands_;
    QString webAddress_;
    int detectionCount_ = 0;
    bool helpMode_ = false;
    int popupTag_ = 0;
    bool flashOn_ = false;
    int flashToggles_ = 0;
};
