#include "GuardedCommand.h"

#include "EIlxError.h"
#include "ShowMessageBox.h"

#include <exception>

namespace {

std::function<void(const QString&)>& sink()
{
    static std::function<void(const QString&)> handler;
    return handler;
}

} // namespace

void SetErrorSink(std::function<void(const QString& message)> handler)
{
    sink() = std::move(handler);
}

void ReportError(const QString& message)
{
    if (sink())
        sink()(message);
    else
        ShowMessageBox(nullptr, message, MkError, MbOk);
}

void RunGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const EIlxError& e) {
        ReportError(e.message());
    } catch (const std::exception& e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    }
}
