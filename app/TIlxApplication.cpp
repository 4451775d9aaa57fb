#include "TIlxApplication.h"

#include "EIlxError.h"
#include "GuardedCommand.h"
#include "ShowMessageBox.h"

#include <exception>
#include <utility>

TIlxApplication::TIlxApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Commands report their errors here at their own edge.
    SetErrorSink(
        [this](const QString& message, TErrorSource source) { HandleError(message, source); });
}

TIlxApplication::~TIlxApplication()
{
    SetErrorSink({});
}

TIlxApplication* TIlxApplication::Instance()
{
    return qobject_cast<TIlxApplication*>(QCoreApplication::instance());
}

bool TIlxApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EIlxError& e) {
        HandleError(e.message(), e.source());
    } catch (const std::exception& e) {
        HandleError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void TIlxApplication::HandleError(const QString& message, TErrorSource source)
{
    // The handler shows a modal box; an error raised while it runs is shown
    // plainly instead of recursing into it. The camera's error is the
    // exception: while another error's box waits for the user, the watch goes
    // on, and a camera failing meanwhile must still switch the video off.
    const bool cameraDuringOther =
        handling_ && source == TErrorSource::Camera && handlingSource_ != TErrorSource::Camera;
    if ((handling_ && !cameraDuringOther) || !errorHandler_) {
        ShowMessageBox(nullptr, message, MkError, MbOk);
        return;
    }
    const bool wasHandling = std::exchange(handling_, true);
    const TErrorSource outer = std::exchange(handlingSource_, source);
    try {
        errorHandler_(message, source);
    } catch (const EIlxError& e) {
        ShowMessageBox(nullptr, e.message(), MkError, MbOk);
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr, QString::fromLocal8Bit(e.what()), MkError, MbOk);
    }
    handlingSource_ = outer;
    handling_ = wasHandling;
}
