#pragma once

#include "TPictureFolder.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QStringList>

#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class TClipPlayer;
class TPictureBox;

// "View pictures catched": browses the pictures of one folder a day at a
// time, with navigation, a slide show, printing, copying and deletion, and
// plays the video clip of an event's first picture in the picture's place.
// Made for one viewing and destroyed when closed; it writes nothing but
// deletions.
class TFormView : public QDialog
{
    Q_OBJECT

public:
    enum class TPrintRange
    {
        All,
        Selection,
        Pages
    };

    explicit TFormView(QWidget* parent = nullptr);
    ~TFormView() override;

    // The opener's side: set the owner line, list the folder, show modally,
    // then take the last picture (empty when the folder had none).
    using HelpHandler = std::function<void(int topic, QPoint globalPos)>;
    static QString Open(QWidget* parent, const QString& folder, const QString& ownerLine,
                        HelpHandler help = {});
    void SetOwnerLine(const QString& line) { ownerLine_ = line; }
    const QString& PrintNote() const { return printNote_; }
    void ListFolder(const QString& folder);
    QString LastPicture() const;

    const TPictureFolder& Pictures() const { return pictures_; }
    const QStringList& ShownList() const { return shown_; }
    int CurrentIndex() const { return index_; }
    bool PrintCanceled() const { return printCancel_; }
    bool Printing() const { return printing_; }

    // A help request on a control goes to the main window's help system:
    // a topic of 0 or more as a pop-up at `globalPos`, a negative one in the
    // help window.
    void SetHelpHandler(HelpHandler handler) { helpHandler_ = std::move(handler); }
    // The control's help number ("HelpContext", else "Tag", else a label's
    // buddy's), asking the parents while it is 0; 6000 when none has one.
    static int HelpContextOf(const QWidget* control);

    // Prints pictures `from`..`to` (1-based, of the shown list; ignored but
    // for Pages), one per page. Returns the number of pages started.
    int PrintPictures(QPrinter& printer, TPrintRange range, int from = 0, int to = 0);

    // Handlers, named after the control and its event.
    void ComboBoxDateClick();
    void RxSpeedButtonFirstClick();
    void RxSpeedButtonPreviousClick();
    void RxSpeedButtonNextClick();
    void RxSpeedButtonLastClick();
    void EditIndexChange();
    void TrackBarChange();
    void SpeedButtonPlayClick();
    void TimerTimer();
    void RxSpeedButtonDeleteClick();
    void RxSpeedButtonCopyClick();
    void RxSpeedButtonPrintClick();
    // The clip's commands: the button and V play, resume or pause; Esc and
    // the last menu item go back to the picture.
    void SpeedButtonClipClick();
    void MenuItemClipPlayClick();
    void MenuItemClipPauseClick();
    void MenuItemClipBackClick();

    // The current picture's clip file; empty when it has none.
    const QString& CurrentClip() const { return clip_; }
    const TClipPlayer& ClipPlayer() const { return *Player; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void CreateControls();
    void RebuildDayList();
    void ApplyDayFilter();
    void UpdateControls();
    void ShowPicture(int i);
    void FitWindow(QSize picture);
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ShowHelp(const QWidget* control, QPoint globalPos);
    void SetStatusLine(const QString& text);
    QString ClipOf(const QString& name) const;
    void UpdateClipControls();
    bool HaltClip();
    void BackToPicture();
    void ClipFailed(const QString& reason);

    TPictureFolder pictures_;
    QStringList shown_;
    int index_ = -1;
    QString ownerLine_;
    QString printNote_;
    HelpHandler helpHandler_;
    bool printCancel_ = false;
    bool printing_ = false;
    bool typing_ = false;
    int frameWidth_ = 0;
    int captionHeight_ = 0;
    QString clip_;

    // Controls, owned by the window through Qt's parent chain.
    QFrame* PanelTop = nullptr;
    QComboBox* ComboBoxDate = nullptr;
    QToolButton* RxSpeedButtonFirst = nullptr;
    QToolButton* RxSpeedButtonPrevious = nullptr;
    QLineEdit* EditIndex = nullptr;
    QLabel* LabelTotal = nullptr;
    QToolButton* RxSpeedButtonNext = nullptr;
    QToolButton* RxSpeedButtonLast = nullptr;
    QToolButton* RxSpeedButtonPrint = nullptr;
    QToolButton* RxSpeedButtonCopy = nullptr;
    QToolButton* RxSpeedButtonDelete = nullptr;
    TPictureBox* Image = nullptr;
    QLabel* PanelInfo = nullptr;
    QFrame* PanelBottom = nullptr;
    QFrame* PanelPlay = nullptr;
    QToolButton* SpeedButtonPlay = nullptr;
    QSlider* TrackBar = nullptr;
    QLabel* LabelClip = nullptr;
    QToolButton* SpeedButtonClip = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* LabelStatus = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* MenuItemPrint = nullptr;
    QAction* MenuItemCopy = nullptr;
    QAction* MenuItemDelete = nullptr;
    QAction* MenuItemClipPlay = nullptr;
    QAction* MenuItemClipPause = nullptr;
    QAction* MenuItemClipBack = nullptr;
    QTimer* Timer = nullptr;
    TClipPlayer* Player = nullptr;
};
