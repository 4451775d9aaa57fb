#pragma once

#include <QString>

// Fixed texts of the product, shown by the About box and on printed pages.
inline constexpr const char* kProductName = "i-Lumerix Light Edition";
inline constexpr const char* kProductVersion = "3.1 LE-EN";
// The system the program runs on, as the About box names it.
inline constexpr const char* kProductPlatform = "for Linux";
// The name desktops know the program by: its menu entry, the task bar, the
// notifications, the keyring's records and the session start entry.
inline constexpr const char* kProductDesktopId = "org.ilumerix.LightEdition";

// The application title: the caption of message boxes, the About box's
// default title and the printed pages' document name. Kept apart from the
// toolkit's display name, which the desktop would append to every window
// caption and so push the main window's heartbeat off its end.
inline QString ApplicationTitle()
{
    return QString::fromLatin1(kProductName);
}

// The texts kept scrambled in the program file, plain on use.
enum class ProductText
{
    Purpose,     // what the program does (About box)
    Copyright,   // rights notice (About box, printed page header)
    PrintHeader, // printed page title (printed page header)
    PrintedBy,   // what printed the page (printed page header)
};
QString UnscrambledText(ProductText text);
