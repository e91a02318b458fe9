#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "package/block_method.h"
#include "packing/progress.h"
#include "packing/staged_output.h"

namespace brindle::tool {

struct PackInput {
    std::string name;  // as the package stores it
    bool isFolder = false;
    std::uint64_t time = 0;           // FILETIME, both times of the entry
    std::filesystem::path hostPath;   // where the content is read from, or
    std::vector<std::uint8_t> bytes;  // the content, when hostPath is empty
    bool raw = false;                 // stored raw, copied from hostPath piece by piece
    std::uint64_t size = 0;           // of the content
    bool packed = true;               // packed when that saves enough, else stored as it is
    BlockMethod method = BlockMethod::Lz;  // how, when packed
};

// Files from this size up are packed with the LZMA method when it is
// chosen: it packs them smaller and the installer decodes them as a stream.
// Smaller files keep the LZ method, which decodes faster.
inline constexpr std::uint64_t kLargeFile = std::uint64_t(16) << 20;
inline BlockMethod methodForFile(BlockMethod chosen, std::uint64_t size) {
    return chosen == BlockMethod::Lzma && size >= kLargeFile ? BlockMethod::Lzma : BlockMethod::Lz;
}

// Writes `stub` followed by the package of `inputs`, in their order, into
// the partial file of `output` (messages name its target). Files, and the
// segments of large ones, are packed on `threads` threads at once; the
// output is the same for any number of them. At most two entries per thread
// are held at a time and each thread keeps one set of encoder tables, so
// memory stays bounded whatever the number of entries.
bool writePackageFile(const StagedOutput& output, const std::vector<std::uint8_t>& stub,
                      const std::vector<PackInput>& inputs, unsigned threads, Progress& progress, std::string& error);

}  // namespace brindle::tool
