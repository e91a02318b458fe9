#pragma once

#include <cstdint>
#include <string>

namespace brindle {

// The system folder for a folder code (see FolderCode), ending in "\", or
// empty when the machine has none. The program files and common files
// folders are read in `registryView` (kRegistryView64: the native ones).
std::string folderPath(int code, std::uint32_t registryView = 0);

}  // namespace brindle
