#pragma once

#include <QDateTime>

#include <cstdint>
#include <functional>

// The program's two time sources, behind functions so tests can pin them.
//  - IlxTickCount(): monotonic milliseconds, wrapping at 2^32 like the
//    platform tick counter the timing rules were written for.
//  - IlxNow(): the local wall-clock time used by schedules, stamps and names.
std::uint32_t IlxTickCount();
QDateTime IlxNow();

// Test hooks: an empty function restores the real source.
void SetTickSource(std::function<std::uint32_t()> source);
void SetClockSource(std::function<QDateTime()> source);
