#pragma once

#include <QEvent>

// The two private messages of the alarm. Qt hands out registered types from
// the top of the user range down, so these fixed numbers never collide.
// Sound finished: posted by the sound thread; wParam = test flag, lParam = 1.
inline constexpr QEvent::Type kSoundFinishedEvent = static_cast<QEvent::Type>(6462);
// Stop request: sent by the stop-alarm window to its target.
inline constexpr QEvent::Type kStopRequestEvent = static_cast<QEvent::Type>(6463);
