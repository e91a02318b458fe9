#include <windows.h>

#include <cstdio>

#include "run/work_directory.h"

namespace brindle {

namespace {
constexpr int kAttempts = 64;

// CreateDirectory fails on any existing name (folder, file, link or
// junction), which is what makes a folder this run's own.
bool makeOwnFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

std::string siblingName(const std::string& temporaryFolder, int attempt) {
    std::uint32_t mix = GetCurrentProcessId() * 2654435761u ^ GetTickCount() ^ std::uint32_t(attempt) * 0x9E3779B9u;
    mix ^= mix >> 15;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08lX", static_cast<unsigned long>(mix));
    return temporaryFolder + "Brindle-" + suffix;
}
}  // namespace

std::string createWorkDirectory(const std::string& temporaryFolder) {
    const std::string preferred = temporaryFolder + "Brindle";
    if (makeOwnFolder(preferred)) return preferred + "\\";
    std::string candidate;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        candidate = siblingName(temporaryFolder, attempt);
        // A name that cannot be created and does not exist either means the
        // temporary folder itself is unusable; it still names nothing.
        if (makeOwnFolder(candidate) || GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES)
            return candidate + "\\";
    }
    return candidate + "\\";
}

void removeWorkDirectory(const std::string& workDirectory) {
    if (workDirectory.empty()) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((workDirectory + "*.*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((workDirectory + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(workDirectory.c_str());
}

}  // namespace brindle
