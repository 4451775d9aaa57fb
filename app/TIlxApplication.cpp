#include "TIlxApplication.h"

#include "EIlxError.h"
#include "GuardedCommand.h"
#include "ShowMessageBox.h"

#include <exception>

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
    // plainly instead of recursing into it.
    if (handling_ || !errorHandler_) {
        ShowMessageBox(nullptr, message, MkError, MbOk);
        return;
    }
    handling_ = true;
    try {
        errorHandler_(message, source);
    } catch (const EIlxError& e) {
        ShowMessageBox(nullptr, e.message(), MkError, MbOk);
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr, QString::fromLocal8Bit(e.what()), MkError, MbOk);
    }
    handling_ = false;
}
