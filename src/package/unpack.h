#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

// Unpacks the packed block `source` (`sourceLength` bytes) into `destination`
// (`capacity` bytes). Returns the number of bytes written, which is always the
// unpacked size the header states, or 0 when the block is not sound: no "JC"
// magic, a header size above `capacity`, a stream that reads past the block,
// copies from before the start of the output, writes more or fewer bytes than
// the header states, takes a literal before its width is set, or fails its
// checksum. Writes nothing outside `destination[0, capacity)`; allocates nothing.
std::uint32_t unpack(const std::uint8_t* source, std::size_t sourceLength,
                     std::uint8_t* destination, std::size_t capacity);

// The unpacked size a packed block's header states; false when `source` is too
// short or lacks the magic.
bool packedBlockSize(const std::uint8_t* source, std::size_t sourceLength,
                     std::uint32_t* size);

}  // namespace brindle
