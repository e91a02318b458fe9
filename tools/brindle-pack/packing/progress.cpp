#include "packing/progress.h"

#include <algorithm>
#include <cstdio>

namespace brindle::tool {

namespace {
constexpr int kBarWidth = 30;
constexpr double kMegabyte = 1e6;
}  // namespace

Progress::Progress(bool shown, std::uint64_t total) : shown_(shown), total_(total) {}

void Progress::draw() {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < std::chrono::milliseconds(100)) return;
    lastDrawn_ = now;
    const std::uint64_t done = std::min<std::uint64_t>(done_, total_);  // the total may be an estimate
    const double fraction = total_ ? double(done) / double(total_) : 1.0;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < int(fraction * kBarWidth) ? '#' : '.';
    bar[kBarWidth] = 0;
    char left[32] = "--:--";
    if (rate > 0) {
        const auto remaining = (unsigned long)(double(total_ - done) / rate);
        std::snprintf(left, sizeof left, "%lu:%02lu", remaining / 60, remaining % 60);
    }
    std::fprintf(stderr, "\r[%s] %3d%%  %.1f of %.1f MB  %.1f MB/s  %s left ", bar, int(fraction * 100),
                 double(done) / kMegabyte, double(total_) / kMegabyte, rate / kMegabyte, left);
}

void Progress::finish() {
    if (!shown_) return;
    lastDrawn_ = {};
    draw();
    std::fputc('\n', stderr);
}

}  // namespace brindle::tool
