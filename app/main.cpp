#include "DataPaths.h"
#include "GstCaptureDriver.h"
#include "LumerixEvents.h"
#include "ProductTexts.h"
#include "TFormMainLE.h"
#include "TIlxApplication.h"
#include "TSessionStart.h"
#include "TSingleInstance.h"

#include <QLibrary>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <malloc.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gTerminationPipe[2] = {-1, -1};

// Runs in signal context: only writes one byte for the event loop to see.
void OnTerminationSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(gTerminationPipe[1], &c, 1);
}

// A logout or `kill` ends the program through its ordinary close, so the
// settings and the driver's format are saved as on a normal quit.
void CloseOnTermination(QWidget* window, QObject* owner)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gTerminationPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(gTerminationPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(gTerminationPipe[0], &c, 1);
        window->close();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// The optional splash library; its absence is not an error.
void ShowOptionalSplash(QLibrary& splash, QWidget* window)
{
    splash.setFileName(QStringLiteral("SPLASH32"));
    if (!splash.load())
        return;
    using ShowSplash = void (*)(quintptr);
    if (auto show = reinterpret_cast<ShowSplash>(splash.resolve("ShowSplash")))
        show(static_cast<quintptr>(window ? window->winId() : 0));
}

} // namespace

int main(int argc, char** argv)
{
    // Every pipeline a camera's return builds brings streaming threads of
    // its own, and each new thread would take a memory arena of its own that
    // keeps what it once held: a camera that drops out now and then would
    // grow the program for weeks. Two arenas serve all threads, before any
    // exists.
    mallopt(M_ARENA_MAX, 2);
    TIlxApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ilumerix"));
    QApplication::setOrganizationName(QStringLiteral("i-Lumerix"));
    // The desktop entry the window belongs to (task bars take its icon and name).
    QGuiApplication::setDesktopFileName(QLatin1String(kProductDesktopId));
    InitDataPaths();
    RegisterLumerixEvents();

    TSingleInstance guard(TSingleInstance::GuardName(QStringLiteral("i-Lumerix")));
    if (!guard.Acquire()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("i-Lumerix"),
                        QStringLiteral("\"i-Lumerix\" software\nalready in use"), QMessageBox::Ok);
        box.exec();
        guard.RequestFront();
        return 0;
    }

    QLibrary splash;
    ShowOptionalSplash(splash, nullptr);

    int result = 0;
    {
        TFormMainLE form(std::make_unique<GstCaptureDriver>());
        app.SetErrorHandler([&form](const QString& message, TErrorSource source) {
            form.HandleApplicationError(message, source);
        });
        QObject::connect(&guard, &TSingleInstance::FrontRequested, &form,
                         &TFormMainLE::BringToFront);
        CloseOnTermination(&form, &form);
        form.ShowAtStart(
            QCoreApplication::arguments().contains(QLatin1String(TSessionStart::kArgument)));
        result = app.exec();
        app.SetErrorHandler({});
    }
    if (splash.isLoaded())
        splash.unload();
    return result;
}
