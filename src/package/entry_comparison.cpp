#include "package/entry_comparison.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "toolkit/files.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
std::string windowsName(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return foldCase(name);
}

bool holdsData(const PackageEntry& entry) { return entry.kind == kFileEntry && entry.size > 0; }

bool fileHolds(InputFile& file, const std::uint8_t* content, std::size_t length) {
    if (file.size() != std::int64_t(length) || !file.seek(0)) return false;
    std::uint8_t chunk[4096];
    for (std::size_t at = 0; at < length;) {
        const std::size_t want = std::min(sizeof chunk, length - at);
        if (file.read(chunk, want) != want || std::memcmp(chunk, content + at, want) != 0) return false;
        at += want;
    }
    return true;
}
}  // namespace

bool fileMatchesEntry(const PackageReader& package, const std::string& name, InputFile& file) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::string wanted = windowsName(name);
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const PackageEntry& entry) {
        return entry.kind == kFileEntry && windowsName(entry.name) == wanted;
    });
    if (found == entries.end()) return false;
    if (!holdsData(*found)) return file.size() == 0;
    InputFile packageFile;
    if (!packageFile.open(package.packagePath())) return false;
    // Blocks lie back to back in directory order, as extraction reads them.
    DataCursor data(packageFile, package.dataStart(), package.dataEnd());
    for (auto entry = entries.begin(); entry != found; ++entry)
        if (holdsData(*entry) && !data.skip(entry->storedSize)) return false;
    std::unique_ptr<std::uint8_t[]> content;
    return readEntryData(*found, data, content) == EntryData::Read &&
           fileHolds(file, content.get(), std::size_t(found->size));
}

}  // namespace brindle
