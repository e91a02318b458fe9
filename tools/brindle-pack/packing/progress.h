#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace brindle::tool {

// A one-line progress bar on stderr: bytes packed of the total, rate and
// time left. Drawn only when `shown`; advance() may come from any thread,
// draw() and finish() from one.
class Progress {
public:
    Progress(bool shown, std::uint64_t total);
    void advance(std::uint64_t bytes) { done_ += bytes; }
    void draw();
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    bool shown_;
    std::uint64_t total_;
    std::atomic<std::uint64_t> done_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};

}  // namespace brindle::tool
