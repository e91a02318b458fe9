#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace brindle {

// Unpacks the packed block `source` (`sourceLength` bytes) into `destination`
// (`capacity` bytes). True when the block is sound; `written` is then the
// unpacked size the header states (0 for an empty block). False, with
// `written` 0, when it is not: no "JC" magic, a header size above `capacity`,
// a stream that reads past the block, copies from before the start of the
// output, writes more or fewer bytes than the header states, takes a literal
// before its width is set, or fails its checksum. Writes nothing outside
// `destination[0, capacity)`; allocates nothing.
bool unpack(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination, std::size_t capacity,
            std::uint32_t& written);

// The same decoder with a bit buffer of the given width, std::uint32_t or
// std::uint64_t; `unpack` takes the width of the machine's registers. Both
// are built on every machine, so that each can be tested anywhere.
template <typename BitBuffer>
bool unpackWithBuffer(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                      std::size_t capacity, std::uint32_t& written);
using RegisterBitBuffer = std::conditional_t<sizeof(void*) >= 8, std::uint64_t, std::uint32_t>;

// The unpacked size a packed block's header states; false when `source` is too
// short or lacks the magic.
bool packedBlockSize(const std::uint8_t* source, std::size_t sourceLength,
                     std::uint32_t* size);

}  // namespace brindle
