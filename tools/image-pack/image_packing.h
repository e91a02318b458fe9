// Packs a program of the runtime's kind with the loader appended behind it
// (package/packed_image.h says how the result runs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pe_image.h"

namespace brindle::image_pack {

// The packed program; empty with `error` set when `program` or `loader` is
// not as the packing needs them (the loader's record is missing, the program
// has thread-local data, a load configuration or a signature, its sections
// to pack do not all come before those the system reads at load).
std::vector<std::uint8_t> packImage(const PeImage& program, const PeImage& loader, std::string& error);

}  // namespace brindle::image_pack
