#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/package_format.h"
#include "toolkit/files.h"

namespace brindle {

// What adding an entry to a package came to: added; refused, as the package
// would pass the format's 4 GiB; or stopped by the output file (`written`
// says why).
struct PackageWrite {
    bool tooLarge = false;
    FileResult written;
    explicit operator bool() const { return !tooLarge && written; }
};

// Whether a packed block of `packedLength` bytes saves enough over its
// `length` bytes of content to be worth unpacking: at least 1% of the
// content and at least 16 bytes.
bool packingPays(std::size_t packedLength, std::size_t length);

// The packed block of `length` bytes when packing pays. Empty when the
// content is better stored raw.
std::vector<std::uint8_t> packWhenWorthwhile(const std::uint8_t* data, std::size_t length);

// Writes a package into a file, entry by entry: each block as it is added,
// then the directory and the trailer at finish(). The file may already hold
// a prefix (the runtime's image) of `dataStart` bytes; offsets count it.
class PackageWriter {
public:
    PackageWriter(OutputFile& out, std::uint32_t dataStart)
        : out_(out), nextOffset_(dataStart), dataStart_(dataStart) {}

    PackageWrite addFolder(const std::string& name, std::uint64_t created, std::uint64_t modified);
    // Stores the content packed when packWhenWorthwhile finds that worth it.
    PackageWrite addFile(const std::string& name, const std::uint8_t* data, std::size_t length, std::uint64_t created,
                         std::uint64_t modified);
    // Stores a file of `length` bytes whose block was made beforehand: the
    // content itself (`blockLength` equal to `length`) or its packed form.
    PackageWrite addStoredFile(const std::string& name, std::size_t length, const std::uint8_t* block,
                               std::size_t blockLength, std::uint64_t created, std::uint64_t modified);
    // Stores a file of `length` bytes raw, which `copy` writes to the output
    // (for content too large to hold in memory whole).
    PackageWrite addRawFile(const std::string& name, std::size_t length, std::uint64_t created, std::uint64_t modified,
                            const std::function<FileResult(OutputFile& out)>& copy);
    // Writes the directory (packed when that is worth it) and the trailer.
    FileResult finish();

    const std::vector<PackageEntry>& entries() const { return entries_; }

private:
    static PackageEntry fileEntry(const std::string& name, std::size_t length, std::uint64_t created,
                                  std::uint64_t modified);
    PackageWrite place(PackageEntry entry, std::size_t blockLength, const std::function<FileResult()>& writeBlock);

    OutputFile& out_;
    std::uint64_t nextOffset_;
    std::uint32_t dataStart_;
    std::vector<PackageEntry> entries_;
};

}  // namespace brindle
