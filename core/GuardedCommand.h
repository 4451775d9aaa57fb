#pragma once

#include <QString>

#include <functional>
#include <utility>

#include "EIlxError.h"

// Where an error that escapes a command goes: the application's handler, set
// once by the application; without one, a plain error box.
void SetErrorSink(std::function<void(const QString& message, TErrorSource source)> sink);
void ReportError(const QString& message, TErrorSource source = TErrorSource::General);

// Runs a command's handler; an error it raises is reported here, at the
// command's edge, instead of unwinding through the toolkit's event delivery,
// which is not built for exceptions.
void RunGuarded(const std::function<void()>& handler);

// The handler wrapped for a signal connection.
template <typename Handler> auto Guarded(Handler handler)
{
    return [handler = std::move(handler)]() {
        RunGuarded(handler);
    };
}
