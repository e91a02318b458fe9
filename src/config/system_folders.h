#pragma once

#include <string>

namespace brindle {

// The system folder for a folder code (see FolderCode), ending in "\", or
// empty when the machine has none.
std::string folderPath(int code);

}  // namespace brindle
