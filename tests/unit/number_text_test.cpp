#include <gtest/gtest.h>

#include "toolkit/number_text.h"

namespace brindle {
namespace {

TEST(NumberText, PadsToWidthInEitherBase) {
    struct Case {
        std::uint32_t value;
        int width;
        unsigned base;
        const char* expected;
    };
    const Case cases[] = {
        {0, 4, 10, "0000"},
        {7, 2, 10, "07"},
        {0, 0, 10, "0"},                    // at least one digit
        {2024, 4, 10, "2024"},
        {12345, 3, 10, "12345"},            // wider than asked: nothing cut
        {4294967295u, 2, 10, "4294967295"},
        {0x0409, 4, 16, "0409"},
        {0x04B0, 4, 16, "04B0"},
        {0xAF, 2, 16, "AF"},
        {0x5, 2, 16, "05"},
        {0xFFFFFFFFu, 0, 16, "FFFFFFFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paddedNumber(c.value, c.width, c.base), c.expected) << c.value << " width " << c.width;
}

}  // namespace
}  // namespace brindle
