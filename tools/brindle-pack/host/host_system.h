// What differs between the hosts brindle-pack runs on (POSIX, Windows). The
// tool works in UTF-8 throughout: arguments, messages and the host paths it
// prints; on Windows, paths are wide and converted here, never through the
// ANSI code page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brindle::tool {

// The command line after the program's name, in UTF-8. On Windows the
// console prints UTF-8, what the tool writes, until the tool ends.
std::vector<std::string> hostArguments(int argc, char** argv);

std::filesystem::path hostPath(const std::string& utf8);
// A host path as UTF-8 text, for messages and for the names packed from it.
// A name that is not valid Unicode gets U+FFFD, which no package name holds.
std::string utf8Path(const std::filesystem::path& path);

// The last-write time of the file or folder `path` as FILETIME,
// 100-nanosecond ticks since 1601, truncated as the platform keeps it.
std::optional<std::uint64_t> lastWriteTime(const std::filesystem::path& path);

// Where a file shipped with brindle-pack lies (the runtime, the
// uninstaller); the likeliest place when none holds it.
std::filesystem::path shippedFile(const std::string& name);

bool stderrIsTerminal();

}  // namespace brindle::tool
