#pragma once

// Shows the hourglass for its lifetime (nested guards stack). Does nothing
// when no GUI application exists, so display-free code may use it.
class TWaitCursor final
{
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    bool active_ = false;
};
