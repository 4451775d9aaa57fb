#pragma once

#include <QString>

#include <cstdint>

// The options window's rules that need no display: what the picture prefix
// accepts, the quality caption, the start-up countdown and the log viewer's
// messages. The window applies them to its controls.
namespace OptionsRules {

inline constexpr int kPrefixMaxLength = 3;
inline constexpr const char* kDefaultPrefix = "ILX";
inline constexpr int kDefaultHelpContext = 6000;

// A character that may not appear in a picture prefix (it would break the
// picture's file name): blank, "*", "/", ":" or "\".
bool IsPrefixCharRefused(QChar c);
// What the prefix field keeps of a typed or pasted text: every refused
// character dropped, at most the first three that remain.
QString TypedPrefix(const QString& text);

// "&Quality:" on one line and the position with "%" on the next.
QString QualityCaption(int position);

// Milliseconds still to wait before scanning starts by itself: the delay in
// minutes (its magnitude) less the time since the countdown origin, never
// below 0. Tick counts wrap at 2^32 like the platform counter they mimic.
qint64 AutoStartRemainingMs(int delayMinutes, std::uint32_t nowTick, std::uint32_t originTick);
// "Start scanning in hh:mm:ss".
QString AutoStartText(qint64 remainingMs);

// The log viewer's two warnings.
QString LogNotFoundText(const QString& path);
QString LogOpenFailedText(const QString& path);

// The labels of the driver in use.
QString DriverLabel(const QString& driverName);

} // namespace OptionsRules
