#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "package/block_checksum.h"

namespace brindle {
namespace {

std::uint32_t checksumOf(const std::string& text) {
    return blockChecksum(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(BlockChecksum, KnownValues) {
    EXPECT_EQ(checksumOf("abcd"), 0xACA5A6A2u);
    // Five bytes: the second word is the one at offset 1, overlapping the first.
    EXPECT_EQ(checksumOf("abcde"), 0xD8C2CCC1u);
}

TEST(BlockChecksum, ShorterThanAWordIsZero) {
    EXPECT_EQ(checksumOf(""), 0u);
    EXPECT_EQ(checksumOf("abc"), 0u);
}

TEST(BlockChecksum, TailWordCoversTheLastBytes) {
    std::vector<std::uint8_t> data(3218);
    std::iota(data.begin(), data.end(), 0);
    const std::uint32_t original = blockChecksum(data.data(), data.size());
    // Byte 3217 lies only in the extra word at offset 3214.
    data[3217] ^= 0x40;
    EXPECT_NE(blockChecksum(data.data(), data.size()), original);
    data[3217] ^= 0x40;
    // Bytes past the given length take no part.
    data.push_back(7);
    EXPECT_EQ(blockChecksum(data.data(), 3218), original);
}

}  // namespace
}  // namespace brindle
