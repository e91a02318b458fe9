#include <gtest/gtest.h>

#include "toolkit/display_scale.h"

namespace {

using brindle::ui::scaled;

struct ScaleRow {
    int value, dpi, from, expected;
};

TEST(DisplayScale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
    const ScaleRow rows[] = {
        {480, 96, 96, 480},     // the layout's own density: unchanged
        {335, 144, 96, 503},    // 502.5 rounds up
        {335, 120, 96, 419},    // 418.75
        {15, 120, 96, 19},      // 18.75
        {1, 120, 96, 1},        // 1.25 rounds down
        {2, 144, 96, 3},        // a thin line stays visible: 3, not 2
        {-11, 144, 96, -17},    // a negative height (a font's): -16.5 rounds away from zero
        {-1, 120, 96, -1},      // -1.25
        {0, 192, 96, 0},
        {8, 96, 72, 11},        // points to pixels: 10.67
        {9, 144, 72, 18},
        {-11, 144, 144, -11},   // at the density it was made for
        {-13, 192, 120, -21},   // from a 120-dpi system: -20.8
        {300, 240, 96, 750},
        {5000000, 480, 96, 25000000},  // the product beyond 32 bits
    };
    for (const ScaleRow& row : rows)
        EXPECT_EQ(scaled(row.value, row.dpi, row.from), row.expected)
            << row.value << " at " << row.dpi << " from " << row.from;
    EXPECT_EQ(scaled(335, 144), 503);  // layout units unless told otherwise
}

}  // namespace
