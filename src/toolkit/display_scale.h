// The fixed layouts give positions, sizes and pictures in pixels of a
// 96-dpi display, and font sizes in points; a window on a display of
// another density multiplies them by its dots per inch over theirs.
#pragma once

#include <cstdint>

namespace brindle::ui {

inline constexpr int kLayoutDpi = 96;
inline constexpr int kPointsPerInch = 72;

// `value` in units of 1/`from` inch (`from` > 0) as pixels at `dpi`,
// rounded to the nearest with halves away from zero, as the platform's
// MulDiv rounds.
constexpr int scaled(int value, int dpi, int from = kLayoutDpi) {
    const std::int64_t product = std::int64_t(value) * dpi;
    const std::int64_t magnitude = ((product < 0 ? -product : product) + from / 2) / from;
    return int(product < 0 ? -magnitude : magnitude);
}

}  // namespace brindle::ui
