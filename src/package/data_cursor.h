#pragma once

#include <cstdint>

#include "toolkit/files.h"

namespace brindle {

// The forward-only view of a package's entry data: where the next block
// starts and where the data end (the directory). Once a block cannot be read
// whole, later positions are unknown and every later block counts as lost.
class DataCursor {
public:
    DataCursor(InputFile& file, std::uint64_t start, std::uint64_t end) : file_(file), at_(start), end_(end) {}

    // True when a block of `length` bytes lies inside the data from here on;
    // otherwise the cursor is broken.
    bool claim(std::uint32_t length) {
        if (broken_ || length > end_ - at_) broken_ = true;
        return !broken_;
    }

    bool read(std::uint8_t* buffer, std::uint32_t length) {
        if (!claim(length) || !file_.seek(at_) || file_.read(buffer, std::size_t(length)) != std::size_t(length)) {
            broken_ = true;
            return false;
        }
        at_ += std::uint64_t(length);
        return true;
    }

    bool skip(std::uint32_t length) {
        if (!claim(length)) return false;
        at_ += std::uint64_t(length);
        return true;
    }

    std::uint64_t position() const { return at_; }
    // A cursor over the same data from `position` on, which must be one
    // this cursor has passed.
    DataCursor from(std::uint64_t position) const { return DataCursor(file_, position, end_); }

private:
    InputFile& file_;
    std::uint64_t at_;
    std::uint64_t end_;
    bool broken_ = false;
};

}  // namespace brindle
