#include "package/entry_comparison.h"

#include <algorithm>
#include <cstring>

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

// Compares the entry's content, as it streams, with the file's bytes in order.
class ComparingSink final : public ContentSink {
public:
    explicit ComparingSink(InputFile& file) : file_(file) {}
    bool write(const std::uint8_t* data, std::size_t length) override {
        std::uint8_t chunk[4096];
        for (std::size_t at = 0; at < length;) {
            const std::size_t want = std::min(sizeof chunk, length - at);
            if (file_.read(chunk, want) != want || std::memcmp(chunk, data + at, want) != 0) return false;
            at += want;
        }
        return true;
    }

private:
    InputFile& file_;
};
}  // namespace

bool fileMatchesEntry(const PackageReader& package, const std::string& name, InputFile& file) {
    const std::vector<PackageEntry>& entries = package.entries();
    const std::string wanted = windowsName(name);
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const PackageEntry& entry) {
        return entry.kind == kFileEntry && windowsName(entry.name) == wanted;
    });
    if (found == entries.end()) return false;
    if (!holdsData(*found)) return file.size() == 0;
    if (file.size() != std::int64_t(found->size) || !file.seek(0)) return false;
    // Blocks lie back to back in directory order, as extraction reads them.
    DataCursor data(package.file(), package.dataStart(), package.dataEnd());
    for (auto entry = entries.begin(); entry != found; ++entry)
        if (holdsData(*entry) && !data.skip(entry->storedSize)) return false;
    ComparingSink comparison(file);
    return streamEntryData(*found, data, comparison) == EntryData::Read;
}

}  // namespace brindle
