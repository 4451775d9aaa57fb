#include "Clock.h"

#include <QElapsedTimer>

namespace {

std::function<std::uint32_t()>& tickSource()
{
    static std::function<std::uint32_t()> source;
    return source;
}

std::function<QDateTime()>& clockSource()
{
    static std::function<QDateTime()> source;
    return source;
}

} // namespace

std::uint32_t IlxTickCount()
{
    if (const auto& source = tickSource())
        return source();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    // Truncation keeps the 32-bit wrap-around of the original counter.
    return static_cast<std::uint32_t>(timer.elapsed());
}

QDateTime IlxNow()
{
    if (const auto& source = clockSource())
        return source();
    return QDateTime::currentDateTime();
}

void SetTickSource(std::function<std::uint32_t()> source)
{
    tickSource() = std::move(source);
}

void SetClockSource(std::function<QDateTime()> source)
{
    clockSource() = std::move(source);
}
