#pragma once

// The assembled program as a user meets it: the real main window over its
// data files in a scratch folder, with a scripted camera (exact frames) or the
// built-in demo camera (the real pipeline), driven only by what a user does:
// keys sent to the window, menus opened and items clicked with the mouse,
// clicks, right clicks and drags on the real controls.
#include "ModalAnswerer.h"
#include "ScratchDir.h"
#include "WaitFor.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <Qt>

#include <functional>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

class GstCaptureDriver;
class QAbstractButton;
class QAction;
class QMenu;
class QWidget;
class ScriptedCaptureDriver;
class TFormMainLE;
class TFormOptions;

// Failure messages show texts as text.
void PrintTo(const QString& text, std::ostream* os);

// Answers a run of modal windows in order, each by its class: for a dialog
// that leads to a box that leads to the dialog again.
class ModalScript
{
public:
    using Step = std::pair<const char*, std::function<void(QWidget*)>>;
    explicit ModalScript(std::vector<Step> steps, int timeoutMs = 8000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // How many steps were carried out.
    int Done() const { return done_; }

private:
    void Poll();

    std::vector<Step> steps_;
    QTimer timer_;
    QPointer<QWidget> last_;
    int done_ = 0;
    int remainingPolls_;
};

class Program
{
public:
    enum class Camera
    {
        Scripted, // "Cam": a still picture the test chooses, 320 x 240
        Demo      // the demo camera through the real GStreamer pipeline
    };

    // Writes the data files a prepared user would have: the driver chosen (no
    // selection dialog), no stability wait, pictures in the scratch Captures,
    // no alarm sound or log, the live view kept while scanning.
    explicit Program(Camera camera = Camera::Scripted);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Before Start: one key of a settings file set as a user's earlier run left it.
    void Store(const QString& file, const QString& key, const QString& value,
               const QString& section = QStringLiteral("Setup"));
    // After Close (or any time): one key as it stands in a settings file.
    QString Stored(const QString& file, const QString& key,
                   const QString& section = QStringLiteral("Setup")) const;

    // Creates and shows the window and lets its first activation run (to its
    // end, unless told not to wait: a camera may take a while to open).
    TFormMainLE& Start(bool waitForFirstActivation = true);
    // The demo driver's options, and what happens to it before the window
    // exists (a camera pulled out before the program starts).
    std::function<void(GstCaptureDriver&)> BeforeStart;
    bool TestPattern = false; // a second camera in the list
    TFormMainLE& Form() const { return *form_; }
    TFormOptions& Options() const;
    ScriptedCaptureDriver& Scripted() const { return *scripted_; }
    GstCaptureDriver& Demo() const { return *demo_; }
    // The picture the scripted camera sees from now on.
    void SetPicture(const QImage& picture);

    // --- input, as a user gives it
    // A key pressed on the window (shortcuts included).
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens the menus of the path with the mouse and clicks its last item,
    // e.g. {"&Video", "Sc&heduler", "Ac&tivate"}. False when an item of the
    // path was not there or could not be clicked (a greyed item does nothing).
    bool Menu(const QStringList& path);
    // A click on a named control of the main window (or of `in`).
    void Click(const QString& name, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier, QWidget* in = nullptr);
    void ClickAt(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Presses at `from`, moves in steps to `to` and releases there, all with
    // the modifiers held (coordinates of `widget`).
    void Drag(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers);
    // Clicks into a text field, clears it with the keyboard and types `text`.
    void Type(QWidget* field, const QString& text);
    // F3, then a click on the options window's page of that title.
    void OpenOptionsPage(const QString& title);
    // The radio button of a group by its text.
    QAbstractButton* Item(QWidget* group, const QString& text) const;
    // The pointer comes to rest over a control (its hint shows).
    void Hover(QWidget* widget, QPoint pos = QPoint(-1, -1));
    // Ctrl+Q, as a user quits; the window's close runs to its end.
    void Close();
    // After Close: the window and everything it owns are gone, as at the
    // program's end.
    void Quit();
    // The demo camera pulled out for `seconds`: Ctrl+S, then "Unplug" in its
    // source dialog.
    void UnplugDemo(int seconds);

    // --- what the user sees
    QWidget* Widget(const QString& name) const;
    QAction* Action(const QString& name) const;
    QString Caption() const;
    QString Info() const;       // the information line
    QString StatusHint() const; // status bar panel 0
    bool Scanning() const;
    bool VideoOn() const;
    // With scanning on: the scripted camera's picture changes as a whole, and
    // the detection's picture is waited for. False when none came.
    bool Detect(int timeoutMs = 5000);
    // The same with the picture given: false when no picture came in time.
    bool ShowAndDetect(const QImage& next, int timeoutMs = 5000);
    const QImage& Picture() const { return picture_; }
    // Pictures in the pictures folder, oldest first (bare names).
    QStringList Pictures() const;
    QString CapturesFolder() const { return dir.file(QStringLiteral("Captures")); }

    // Lets the event loop run for a while.
    static void Pause(int ms);

    ScratchDir dir;

private:
    Camera camera_;
    // The user's config folder while the program runs (its autostart folder
    // among others): the scratch folder's "config".
    QByteArray configHomeBefore_;
    ScriptedCaptureDriver* scripted_ = nullptr; // owned by the window's capture component
    GstCaptureDriver* demo_ = nullptr;          // likewise
    QImage picture_;
    std::unique_ptr<TFormMainLE> form_;
};

// A flat picture of one colour.
QImage FlatPicture(int width, int height, QRgb colour);

// Script steps met again and again. A message box: its text kept in `text`,
// then OK. The network camera dialog: the fields given typed in (a null one
// left as it is), then OK.
ModalScript::Step AnswerBoxOk(QString& text);
ModalScript::Step FillCameraDialog(Program& app, const QString& name, const QString& address,
                                   const QString& user = {}, const QString& password = {});
