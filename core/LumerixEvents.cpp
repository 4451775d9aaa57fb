#include "LumerixEvents.h"

// Function-local statics: registered once, thread-safe, on first use.
QEvent::Type WM_Lumerix()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type WM_LumerixUpdate()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type WM_LumerixSchedule()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void RegisterLumerixEvents()
{
    WM_Lumerix();
    WM_LumerixUpdate();
    WM_LumerixSchedule();
}
