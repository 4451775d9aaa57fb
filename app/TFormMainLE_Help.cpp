// The main window's context help, taskbar flash and application-wide hooks.
#include "TFormMainLE.h"

#include "GuardedCommand.h"
#include "TFormOptions.h"
#include "THelpWindow.h"
#include "TScheduler.h"
#include "TStatusBarVideo.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QTextEdit>
#include <QToolButton>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

// The main window's number when no control up the chain has one: the help
// window's topic 10000.
constexpr int kMainWindowHelpFallback = -10000;

bool IsEditBox(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
            qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QTextEdit*>(w) ||
            qobject_cast<const QPlainTextEdit*>(w))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

// A menu of the bar, or a submenu of one (each is a window of its own).
bool InMenuBar(const QWidget* menu, const QMenuBar* bar)
{
    for (const QWidget* w = menu; w; w = w->parentWidget())
        if (w == bar)
            return true;
    return false;
}

} // namespace

int TFormMainLE::HelpContextOf(const QWidget* widget) const
{
    QList<int> chain;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        chain.append(w->property("HelpContext").toInt());
        if (w->isWindow())
            break;
    }
    return ResolveHelpContext(chain, kMainWindowHelpFallback);
}

void TFormMainLE::RxSpeedButtonHelpClick()
{
    helpMode_ = !helpMode_;
    MenuItemWhatsThis->setChecked(helpMode_);
    RxSpeedButtonHelp->setChecked(helpMode_);
    if (helpMode_)
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TFormMainLE::ShowHelpNumber(int context, const QPoint& globalPos)
{
    if (context < 0)
        helpWindow_->ShowTopic(-context);
    else
        helpWindow_->ShowPopup(context, globalPos);
}

bool TFormMainLE::HelpClick(QWidget* pressed, const QPoint& globalPos, Qt::MouseButton button)
{
    const int context = HelpContextOf(pressed);
    if (button == Qt::LeftButton) {
        if (pressed == RxSpeedButtonHelp)
            return false;
        ShowHelpNumber(context, globalPos);
        return true;
    }
    if (IsEditBox(pressed))
        return false;
    popupTag_ = context;
    QMenu* menu = WhatsThisPopupmenu;
    if (pressed->contextMenuPolicy() == Qt::ActionsContextMenu && !pressed->actions().isEmpty())
        return false;
    menu->popup(globalPos);
    return true;
}

bool TFormMainLE::MenuItemHelp(QMenu* menu, const QKeyEvent* key)
{
    // F1 on a highlighted item of the window's menus tells about that item.
    if (!menu || key->key() != Qt::Key_F1 || !InMenuBar(menu, menuBar()))
        return false;
    QAction* item = menu->activeAction();
    const int context = item ? item->property("HelpContext").toInt() : 0;
    if (context <= 0)
        return false;
    const QPoint at = menu->mapToGlobal(menu->actionGeometry(item).center());
    // The open menu and the ones it was opened from (a refusing one is left).
    for (int depth = 0; depth < 8; ++depth)
        if (QWidget* open = QApplication::activePopupWidget())
            open->close();
    ShowHelpNumber(context, at);
    return true;
}

void TFormMainLE::PopupWhatsThisClick()
{
    ShowHelpNumber(popupTag_, WhatsThisPopupmenu->pos());
}

void TFormMainLE::MenuItemAideClick()
{
    helpWindow_->ShowContents();
}

void TFormMainLE::TimerFlashTimer()
{
    if (!away_ || detectionCount_ <= 0)
        return;
    flashOn_ = !flashOn_;
    ++flashToggles_;
    if (flashOn_)
        QApplication::alert(this, 450);
}

void TFormMainLE::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (!isMinimized() && !reminimise_.hasExpired()) {
            reminimise_ = QDeadlineTimer();
            QTimer::singleShot(0, this, [this] { showMinimized(); });
        }
        UpdateAway();
    }
    QMainWindow::changeEvent(event);
}

void TFormMainLE::UpdateAway()
{
    // A Wayland window is never told it was minimised; it is only no longer
    // exposed. Before it is shown, only its state counts.
    const QWindow* handle = windowHandle();
    const bool away = isMinimized() || (isVisible() && handle != nullptr && !handle->isExposed());
    if (away == away_)
        return;
    away_ = away;
    // Leaving starts the flash timer; coming back stops it.
    if (away) {
        TimerFlash.start();
        notifier_.UserLeft();
    } else {
        TimerFlash.stop();
        flashOn_ = false;
        // The user is back: the notifications have had their use.
        notifier_.Withdraw();
    }
}

void TFormMainLE::hideEvent(QHideEvent* event)
{
    notifier_.UserLeft(); // hidden is as far from the user as minimised
    QMainWindow::hideEvent(event);
}

bool TFormMainLE::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Expose:
        // The window's exposure is already updated when the event comes.
        if (watched == windowHandle())
            UpdateAway();
        break;
    case QEvent::Resize:
        if (watched == PanelButton)
            PlaceZoomBox();
        else if (watched == PanelVideo)
            QueueFormResize();
        break;
    case QEvent::MouseButtonPress: {
        auto* w = qobject_cast<QWidget*>(watched);
        // A press on the main window is its own, whether or not the window
        // system has made it active yet (on X11 the activation follows the
        // press); a modal window keeps presses from reaching it anyway.
        if (!w || w->window() != this || QApplication::activeModalWidget())
            break;
        auto* me = static_cast<QMouseEvent*>(event);
        const bool helpPress =
            (me->button() == Qt::LeftButton && helpMode_) || me->button() == Qt::RightButton;
        // The menus are the window's frame, not its controls: they open as
        // usual, so "What is it ?" stays reachable in help mode.
        if (!helpPress || qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w))
            break;
        // The deepest control under the pointer, disabled ones included.
        const QPoint global = me->globalPosition().toPoint();
        QWidget* target = w;
        if (QWidget* child = w->childAt(w->mapFromGlobal(global)))
            target = child;
        // A right press on the scheduler button opens the schedule editor.
        if (target == RxSpeedButtonScheduler && me->button() == Qt::RightButton) {
            RunGuarded([this] {
                scheduler_->RxSpeedButtonSchedulerMouseDown(
                    Qt::RightButton, MenuItemSchedulerEdit->isEnabled(), this);
            });
            return true;
        }
        if (HelpClick(target, global, me->button()))
            return true;
        break;
    }
    case QEvent::StatusTip: {
        // The options window has no status bar: its hints show in the main
        // window's first panel, as the window's own do.
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && Options() && w->window() == Options()) {
            SetPanelHint(static_cast<QStatusTipEvent*>(event)->tip());
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this && HandleKey(static_cast<QKeyEvent*>(event)))
            return true;
        if (MenuItemHelp(qobject_cast<QMenu*>(watched), static_cast<QKeyEvent*>(event)))
            return true;
        if (QuitFromLossMessage(watched, event))
            return true;
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
