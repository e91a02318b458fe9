// Names the shortcuts are made from: paths as setup.ini writes them, where a
// leading double quote is not part of the name.
#pragma once

#include <string>

namespace brindle {

// The text after the last "\" or "/".
std::string filePartOf(const std::string& path);
// The text up to and including the last "\" or "/"; empty when there is none.
std::string folderPartOf(const std::string& path);
// The file part up to its first ".": "bin\my.tool.exe" gives "my".
std::string shortcutNameOf(const std::string& path);
// The name with ".lnk" appended unless it already ends in exactly ".lnk".
std::string withLinkExtension(const std::string& name);

}  // namespace brindle
