#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "package/package_format.h"

namespace brindle {

class OutputFile;

// Writes a package into a file, entry by entry: each block as it is added,
// then the directory and the trailer at finish(). The file may already hold
// a prefix (the runtime's image) of `dataStart` bytes; offsets count it.
class PackageWriter {
public:
    PackageWriter(OutputFile& out, std::uint32_t dataStart) : out_(out), nextOffset_(dataStart), dataStart_(dataStart) {}

    bool addFolder(const std::string& name, std::uint64_t created, std::uint64_t modified);
    // Stores the content packed, or raw when packing does not make it smaller.
    bool addFile(const std::string& name, const std::uint8_t* data, std::size_t length, std::uint64_t created,
                 std::uint64_t modified);
    // Writes the directory (packed when that is smaller) and the trailer.
    bool finish();

    const std::vector<PackageEntry>& entries() const { return entries_; }

private:
    bool place(PackageEntry entry, const std::uint8_t* block, std::size_t blockLength);

    OutputFile& out_;
    std::uint64_t nextOffset_;
    std::uint32_t dataStart_;
    std::vector<PackageEntry> entries_;
};

}  // namespace brindle
