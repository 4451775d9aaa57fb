#include "Program.h"

#include "DataPaths.h"
#include "GstCaptureDriver.h"
#include "ProfileFile.h"
#include "ScriptedCaptureDriver.h"
#include "TDlgNetworkCamera.h"
#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TIlxApplication.h"
#include "TScanController.h"
#include "TStatusBarVideo.h"
#include "TVideoCam.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

QImage FlatPicture(int width, int height, QRgb colour)
{
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(colour);
    return picture;
}

namespace {

// A widget's window and the widget's point in it: input goes to the window,
// as the window system delivers it, so enter, leave, grabs and shortcuts all
// happen as they do for a user.
struct WindowPoint
{
    QWindow* window;
    QPoint pos;
};

// A window the user clicks or types into is the active one (the window
// manager activates it on the click); the offscreen platform leaves no window
// active after a dialog closes, so this does what the window manager would.
void Activate(QWidget* top)
{
    if (QApplication::activeWindow() == top || !top->isVisible() ||
        top->testAttribute(Qt::WA_ShowWithoutActivating) ||
        top->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
        return;
    top->activateWindow();
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == top; }, 1000));
}

WindowPoint ToWindow(QWidget* widget, QPoint pos)
{
    QWidget* top = widget->window();
    if (pos == QPoint(-1, -1))
        pos = widget->rect().center();
    return {top->windowHandle(), widget->mapTo(top, pos)};
}

QAction* FindItem(const QList<QAction*>& actions, const QString& text)
{
    for (QAction* a : actions) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

void CloseMenus()
{
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        QCoreApplication::processEvents();
    }
}

} // namespace

ModalScript::ModalScript(std::vector<Step> steps, int timeoutMs)
    : steps_(std::move(steps)), remainingPolls_(timeoutMs / 20)
{
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
}

ModalScript::~ModalScript()
{
    timer_.stop();
}

void ModalScript::Poll()
{
    if (done_ >= int(steps_.size())) {
        timer_.stop();
        return;
    }
    if (--remainingPolls_ < 0) {
        // A window the script did not expect: closed, so the test fails
        // instead of waiting on it for ever.
        timer_.stop();
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "unexpected modal window " << stuck->metaObject()->className();
            stuck->close();
        }
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    const Step& step = steps_[std::size_t(done_)];
    if (!modal || modal == last_ || !modal->inherits(step.first))
        return;
    last_ = modal;
    ++done_;
    // Run from the event loop, not from this poll: the step may open the next
    // modal window, whose own loop must still see this timer.
    QPointer<QWidget> target = modal;
    QTimer::singleShot(0, modal, [action = step.second, target] {
        if (target)
            action(target);
    });
}

Program::Program(Camera camera) : camera_(camera)
{
    SetDataFolder(dir.path());
    QDir(dir.path()).mkdir(QStringLiteral("Captures"));
    configHomeBefore_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.file(QStringLiteral("config")).toLocal8Bit());
    const QString driver = camera == Camera::Demo
                               ? QString::fromLatin1(GstCaptureDriver::kDemoCameraName)
                               : QStringLiteral("Cam");
    dir.write("iLXLE.INI", "[Setup]\r\nStabilite=0\r\n");
    dir.write("iLXLE_PARAM.DAT",
              "[Setup]\r\nDriver=" + driver.toUtf8() + "\r\nSelect=0\r\nPause=0\r\n");
    dir.write("iLXLE_IMAGE.DAT", "[Setup]\r\nFolder=" + CapturesFolder().toUtf8() + "\r\n");
    dir.write("iLXLE_ALERTE.DAT", "[Setup]\r\nBeep=0\r\nLog=0\r\n");
    picture_ = FlatPicture(320, 240, qRgb(90, 90, 90));
}

Program::~Program()
{
    if (TIlxApplication* application = TIlxApplication::Instance())
        application->SetErrorHandler({});
    CloseMenus();
    form_.reset();
    SetDataFolder(QString());
    if (configHomeBefore_.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHomeBefore_);
}

void Program::Store(const QString& file, const QString& key, const QString& value,
                    const QString& section)
{
    WriteProfileString(dir.file(file), section, key, value);
}

QString Program::Stored(const QString& file, const QString& key, const QString& section) const
{
    return ReadProfileString(dir.file(file), section, key, QStringLiteral("<none>"));
}

TFormMainLE& Program::Start(bool waitForFirstActivation)
{
    std::unique_ptr<CaptureDriver> driver;
    if (camera_ == Camera::Demo) {
        GstCaptureDriver::Options options;
        options.probeCameras = false;
        options.testPattern = TestPattern;
        auto gst = std::make_unique<GstCaptureDriver>(options);
        demo_ = gst.get();
        if (BeforeStart)
            BeforeStart(*gst);
        driver = std::move(gst);
    } else {
        auto scripted = std::make_unique<ScriptedCaptureDriver>();
        scripted->setDriver(0, QStringLiteral("Cam"));
        DriverCaps caps;
        caps.hasDlgVideoFormat = caps.hasDlgVideoSource = caps.hasDlgVideoDisplay = true;
        scripted->setCaps(caps);
        scripted->setFrame(picture_);
        scripted_ = scripted.get();
        driver = std::move(scripted);
    }
    form_ = std::make_unique<TFormMainLE>(std::move(driver));
    if (TIlxApplication* application = TIlxApplication::Instance()) {
        application->SetErrorHandler([this](const QString& message, TErrorSource source) {
            form_->HandleApplicationError(message, source);
        });
    }
    form_->show();
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    if (waitForFirstActivation) {
        EXPECT_TRUE(WaitFor([&] { return !form_->FirstActivationPending(); }, 15000));
    }
    return *form_;
}

TFormOptions& Program::Options() const
{
    return *form_->Options();
}

void Program::SetPicture(const QImage& picture)
{
    picture_ = picture;
    if (scripted_)
        scripted_->setFrame(picture);
}

void Program::Key(int key, Qt::KeyboardModifiers modifiers)
{
    // Keys go to the window in front: a modal one when there is one (the
    // window manager gives it back the focus when a box over it closes).
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target || !target->isVisible())
        target = form_.get();
    Activate(target);
    QTest::keyClick(target->windowHandle(), static_cast<Qt::Key>(key), modifiers);
    QCoreApplication::processEvents();
}

bool Program::Menu(const QStringList& path)
{
    QMenuBar* bar = form_->menuBar();
    QAction* item = FindItem(bar->actions(), path.value(0));
    if (!item || !item->isEnabled() || !item->menu())
        return false;
    ClickAt(bar, bar->actionGeometry(item).center());
    QMenu* menu = item->menu();
    if (!WaitFor([&] { return menu->isVisible(); }, 2000))
        return false;
    for (qsizetype i = 1; i < path.size(); ++i) {
        item = FindItem(menu->actions(), path.at(i));
        if (!item || !item->isEnabled()) {
            CloseMenus();
            return false;
        }
        const bool last = i == path.size() - 1;
        if (!last) {
            // A sub-menu opens when its item is clicked.
            ClickAt(menu, menu->actionGeometry(item).center());
            menu = item->menu();
            if (!menu || !WaitFor([&] { return menu->isVisible(); }, 2000)) {
                CloseMenus();
                return false;
            }
        } else {
            ClickAt(menu, menu->actionGeometry(item).center());
        }
    }
    CloseMenus();
    return true;
}

void Program::ClickAt(QWidget* widget, QPoint pos, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers)
{
    const WindowPoint at = ToWindow(widget, pos);
    if (!QApplication::activePopupWidget())
        Activate(widget->window());
    QTest::mouseMove(at.window, at.pos);
    QTest::mouseClick(at.window, button, modifiers, at.pos);
    QCoreApplication::processEvents();
}

void Program::Click(const QString& name, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                    QWidget* in)
{
    QWidget* widget = in ? in->findChild<QWidget*>(name) : Widget(name);
    ASSERT_NE(widget, nullptr) << name.toStdString();
    // A check box is clicked on its box, which a wide one keeps at its left.
    const QPoint pos = qobject_cast<QCheckBox*>(widget) ? QPoint(8, widget->height() / 2)
                                                        : widget->rect().center();
    ClickAt(widget, pos, button, modifiers);
}

void Program::Drag(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
{
    const WindowPoint start = ToWindow(widget, from);
    const WindowPoint end = ToWindow(widget, to);
    Activate(widget->window());
    QTest::mouseMove(start.window, start.pos);
    QTest::mousePress(start.window, Qt::LeftButton, modifiers, start.pos);
    constexpr int kSteps = 5;
    for (int i = 1; i <= kSteps; ++i) {
        const QPoint step = start.pos + (end.pos - start.pos) * i / kSteps;
        QTest::mouseMove(start.window, step);
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(start.window, Qt::LeftButton, modifiers, end.pos);
    QCoreApplication::processEvents();
}

void Program::Type(QWidget* field, const QString& text)
{
    ClickAt(field, field->rect().center());
    QWindow* window = field->window()->windowHandle();
    QTest::keyClick(window, Qt::Key_End);
    for (int i = 0; i < 64; ++i)
        QTest::keyClick(window, Qt::Key_Backspace);
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
    QCoreApplication::processEvents();
}

void Program::OpenOptionsPage(const QString& title)
{
    Key(Qt::Key_F3);
    TFormOptions& options = Options();
    ASSERT_TRUE(WaitFor([&] { return options.isVisible(); }, 2000));
    QTabBar* tabs = options.PageControl->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == title) {
            ClickAt(tabs, tabs->tabRect(i).center());
            ASSERT_EQ(options.PageControl->currentIndex(), i);
            return;
        }
    }
    FAIL() << "no options page " << title.toStdString();
}

void Program::Hover(QWidget* widget, QPoint pos)
{
    const WindowPoint at = ToWindow(widget, pos);
    // The pointer comes in from elsewhere in the window: the first move into a
    // window carries no enter of its own on the offscreen platform.
    QTest::mouseMove(at.window, QPoint(0, 0));
    QCoreApplication::processEvents();
    QTest::mouseMove(at.window, at.pos);
    QCoreApplication::processEvents();
}

void Program::Close()
{
    Key(Qt::Key_Q, Qt::ControlModifier);
    WaitFor([&] { return !form_->isVisible(); }, 5000);
}

void Program::UnplugDemo(int seconds)
{
    ModalScript source({{"TDlgVideoSource", [&](QWidget* dialog) {
                             auto* spin = dialog->findChild<QSpinBox*>("SpinEditUnplug");
                             ASSERT_NE(spin, nullptr) << "the demo camera offers no unplug";
                             Type(spin, QString::number(seconds));
                             Click(QStringLiteral("BitBtnUnplug"), Qt::LeftButton, {}, dialog);
                         }}});
    // The offscreen platform hands activation to a window that takes no
    // focus (the stop-alarm window), which a desktop never does: the main
    // window keeps it.
    form_->activateWindow();
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == form_.get(); }, 1000));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(source.Done(), 1);
}

void Program::Quit()
{
    if (TIlxApplication* application = TIlxApplication::Instance())
        application->SetErrorHandler({});
    CloseMenus();
    scripted_ = nullptr;
    demo_ = nullptr;
    form_.reset();
}

QWidget* Program::Widget(const QString& name) const
{
    return form_->findChild<QWidget*>(name);
}

QAction* Program::Action(const QString& name) const
{
    return form_->findChild<QAction*>(name);
}

QString Program::Caption() const
{
    return form_->windowTitle();
}

QString Program::Info() const
{
    return form_->InfoText();
}

QString Program::StatusHint() const
{
    return form_->StatusBar()->PanelText(0);
}

bool Program::Scanning() const
{
    return form_->Scan().Scanning();
}

bool Program::VideoOn() const
{
    return form_->VideoCam()->Active();
}

bool Program::Detect(int timeoutMs)
{
    QImage changed = picture_;
    changed.invertPixels();
    return ShowAndDetect(changed, timeoutMs);
}

bool Program::ShowAndDetect(const QImage& next, int timeoutMs)
{
    const qsizetype before = Pictures().size();
    // A cycle must have compared the present picture before it changes.
    if (!WaitFor([&] { return Info().startsWith(QStringLiteral("Scanning: ")); }, 5000))
        return false;
    Pause(300);
    SetPicture(next);
    return WaitFor([&] { return Pictures().size() > before; }, timeoutMs);
}

QAbstractButton* Program::Item(QWidget* group, const QString& text) const
{
    for (QAbstractButton* b : group->findChildren<QAbstractButton*>()) {
        if (b->text() == text)
            return b;
    }
    ADD_FAILURE() << "no item " << text.toStdString();
    return nullptr;
}

QStringList Program::Pictures() const
{
    return QDir(CapturesFolder())
        .entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

void Program::Pause(int ms)
{
    QTest::qWait(ms);
}

ModalScript::Step AnswerBoxOk(QString& text)
{
    return {"QMessageBox", [&text](QWidget* box) {
                text = qobject_cast<QMessageBox*>(box)->text();
                PressMessageBoxButton(QMessageBox::Ok)(box);
            }};
}

ModalScript::Step FillCameraDialog(Program& app, const QString& name, const QString& address,
                                   const QString& user, const QString& password)
{
    return {"TDlgNetworkCamera", [&app, name, address, user, password](QWidget* d) {
                auto* dialog = qobject_cast<TDlgNetworkCamera*>(d);
                const std::pair<QLineEdit*, const QString*> fields[] = {
                    {dialog->EditName, &name},
                    {dialog->EditAddress, &address},
                    {dialog->EditUser, &user},
                    {dialog->EditPassword, &password}};
                for (const auto& [edit, text] : fields)
                    if (!text->isNull())
                        app.Type(edit, *text);
                app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, dialog);
            }};
}
