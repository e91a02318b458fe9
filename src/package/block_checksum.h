#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

// The checksum a packed block carries for its unpacked bytes (0 for fewer
// than four bytes).
std::uint32_t blockChecksum(const std::uint8_t* data, std::size_t length);

// The same checksum over content that arrives in pieces of any length.
class ChecksumStream {
public:
    void add(const std::uint8_t* data, std::size_t length);
    std::uint32_t finish() const;

private:
    std::uint32_t sum_ = 0;
    std::uint64_t count_ = 0;
    std::uint8_t last_[4] = {};  // the latest four bytes, oldest first
};

}  // namespace brindle
