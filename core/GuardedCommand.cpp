#include "GuardedCommand.h"

#include "EIlxError.h"
#include "ShowMessageBox.h"

#include <exception>

namespace {

std::function<void(const QString&, TErrorSource)>& sink()
{
    static std::function<void(const QString&, TErrorSource)> handler;
    return handler;
}

} // namespace

void SetErrorSink(std::function<void(const QString& message, TErrorSource source)> handler)
{
    sink() = std::move(handler);
}

void ReportError(const QString& message, TErrorSource source)
{
    if (sink())
        sink()(message, source);
    else
        ShowMessageBox(nullptr, message, MkError, MbOk);
}

void RunGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const EIlxError& e) {
        ReportError(e.message(), e.source());
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    }
}
