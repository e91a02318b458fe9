#pragma once

#include <cstddef>
#include <span>

namespace brindle::tool {

struct EmbeddedFile {
    const char* name;  // relative, "/" separated
    const unsigned char* data;
    std::size_t size;
};

// The files of the example project (examples/), built into brindle-pack.
std::span<const EmbeddedFile> exampleProject();

}  // namespace brindle::tool
