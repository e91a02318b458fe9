#include "package/entry_data.h"

#include <new>

#include "package/block_method.h"

namespace brindle {

EntryData readEntryData(const PackageEntry& entry, DataCursor& cursor, std::unique_ptr<std::uint8_t[]>& data) {
    if (!cursor.claim(entry.storedSize)) return EntryData::Truncated;
    std::unique_ptr<std::uint8_t[]> stored(new (std::nothrow) std::uint8_t[std::size_t(entry.storedSize) + 1]);
    if (!stored) return cursor.skip(entry.storedSize) ? EntryData::TooLarge : EntryData::Truncated;
    if (!cursor.read(stored.get(), entry.storedSize)) return EntryData::Truncated;
    if (entry.storedSize == entry.size) {
        data = std::move(stored);
        return EntryData::Read;
    }
    std::uint32_t stated = 0;
    if (!statedBlockSize(stored.get(), std::size_t(entry.storedSize), stated) || stated != std::uint32_t(entry.size))
        return EntryData::Damaged;
    std::unique_ptr<std::uint8_t[]> unpacked(new (std::nothrow) std::uint8_t[std::size_t(entry.size)]);
    if (!unpacked) return EntryData::TooLarge;
    std::uint32_t written = 0;
    if (!unpackBlock(stored.get(), std::size_t(entry.storedSize), unpacked.get(), std::size_t(entry.size), written) ||
        written != std::uint32_t(entry.size))
        return EntryData::Damaged;
    data = std::move(unpacked);
    return EntryData::Read;
}

}  // namespace brindle
