#pragma once

#include <QEvent>

#include <cstdint>

// A posted window message: an event type with the two parameters the program's
// messages carry. Posting one from another thread is safe
// (QCoreApplication::postEvent takes ownership).
class TMessageEvent : public QEvent
{
public:
    TMessageEvent(QEvent::Type type, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(type), WParam(wParam), LParam(lParam)
    {}

    const std::intptr_t WParam;
    const std::intptr_t LParam;
};
