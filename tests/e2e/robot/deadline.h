// The time a command may spend waiting for windows and for the target to
// react, shared by all of its steps.
#pragma once

#include <windows.h>

namespace robot {

class Deadline {
public:
    explicit Deadline(double seconds) : end_(GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000)) {}

    // Milliseconds left, at least 1 so that a last attempt always gets a chance.
    unsigned remainingMs() const {
        ULONGLONG now = GetTickCount64();
        return now >= end_ ? 1u : static_cast<unsigned>(end_ - now);
    }
    bool passed() const { return GetTickCount64() >= end_; }

    // Polls `condition` every 100 ms until it holds or the time is up; the
    // condition is always tried once more at the end.
    template <typename Condition>
    bool waitFor(Condition condition) const {
        while (!passed()) {
            if (condition()) return true;
            Sleep(100);
        }
        return condition();
    }

private:
    ULONGLONG end_;
};

}  // namespace robot
