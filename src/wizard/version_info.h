#pragma once

#include <string>

namespace brindle {

// The version summary of a file (see joinVersionSummary): its FileVersion,
// FileDescription and the name of its resource's first language. Empty for
// an empty or missing file, a file without a version resource, or when the
// platform's version library is not there.
std::string readVersionInfo(const std::string& path);

}  // namespace brindle
