#include "package/entry_data.h"

#include <algorithm>
#include <memory>
#include <new>

#include "package/block_method.h"
#include "package/lzma_block.h"

namespace brindle {

namespace {
constexpr std::uint32_t kCopyPiece = std::uint32_t(1) << 20;

// The block's bytes after those already taken, as a stream's source.
class CursorSource final : public BlockSource {
public:
    CursorSource(DataCursor& cursor, std::uint32_t left) : cursor_(cursor), left_(left) {}
    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::uint32_t count = std::uint32_t(std::min<std::uint64_t>(capacity, left_));
        if (count == 0 || !cursor_.read(buffer, count)) return 0;
        left_ -= count;
        return count;
    }
    // Passes what the decoder left unread, so the next block starts right.
    bool skipRest() { return cursor_.skip(left_); }

private:
    DataCursor& cursor_;
    std::uint32_t left_;
};

EntryData copyRaw(const PackageEntry& entry, DataCursor& cursor, ContentSink& sink) {
    std::unique_ptr<std::uint8_t[]> piece(new (std::nothrow) std::uint8_t[std::min(entry.size, kCopyPiece)]);
    if (!piece) return cursor.skip(entry.size) ? EntryData::TooLarge : EntryData::Truncated;
    for (std::uint32_t left = entry.size; left != 0;) {
        const std::uint32_t count = std::min(left, kCopyPiece);
        if (!cursor.read(piece.get(), count)) return EntryData::Truncated;
        if (!sink.write(piece.get(), count)) return cursor.skip(left - count) ? EntryData::WriteFailed : EntryData::Truncated;
        left -= count;
    }
    return EntryData::Read;
}

EntryData streamLzmaEntry(const PackageEntry& entry, const std::uint8_t* head, DataCursor& cursor, ContentSink& sink) {
    LzmaBlockHeader header;
    CursorSource rest(cursor, entry.storedSize - std::uint32_t(kLzmaHeaderSize));
    LzmaOutcome outcome = LzmaOutcome::Damaged;
    if (readLzmaHeader(head, kLzmaHeaderSize, header) && header.size == entry.size)
        outcome = streamLzma(header, rest, sink);
    if (!rest.skipRest()) return EntryData::Truncated;
    switch (outcome) {
        case LzmaOutcome::Done: return EntryData::Read;
        case LzmaOutcome::NoMemory: return EntryData::TooLarge;
        case LzmaOutcome::WriteFailed: return EntryData::WriteFailed;
        case LzmaOutcome::Damaged: break;
    }
    return EntryData::Damaged;
}

// An LZ block, read and unpacked whole; `head` holds its first `taken` bytes.
EntryData unpackLzEntry(const PackageEntry& entry, const std::uint8_t* head, std::uint32_t taken, DataCursor& cursor,
                        ContentSink& sink) {
    std::unique_ptr<std::uint8_t[]> stored(new (std::nothrow) std::uint8_t[std::size_t(entry.storedSize) + 1]);
    std::unique_ptr<std::uint8_t[]> unpacked(stored ? new (std::nothrow) std::uint8_t[entry.size] : nullptr);
    if (!unpacked) return cursor.skip(entry.storedSize - taken) ? EntryData::TooLarge : EntryData::Truncated;
    std::copy(head, head + taken, stored.get());
    if (!cursor.read(stored.get() + taken, entry.storedSize - taken)) return EntryData::Truncated;
    std::uint32_t written = 0;
    if (!unpackBlock(stored.get(), entry.storedSize, unpacked.get(), entry.size, written) || written != entry.size)
        return EntryData::Damaged;
    return sink.write(unpacked.get(), entry.size) ? EntryData::Read : EntryData::WriteFailed;
}
}  // namespace

EntryData streamEntryData(const PackageEntry& entry, DataCursor& cursor, ContentSink& sink) {
    if (entry.size == 0) return EntryData::Read;
    if (!cursor.claim(entry.storedSize)) return EntryData::Truncated;
    if (entry.storedSize == entry.size) return copyRaw(entry, cursor, sink);
    // The signature and, for an LZMA block, its header.
    std::uint8_t head[kLzmaHeaderSize];
    const std::uint32_t taken = std::min<std::uint32_t>(entry.storedSize, kLzmaHeaderSize);
    if (!cursor.read(head, taken)) return EntryData::Truncated;
    std::uint32_t stated = 0;
    if (!statedBlockSize(head, taken, stated) || stated != entry.size)
        return cursor.skip(entry.storedSize - taken) ? EntryData::Damaged : EntryData::Truncated;
    if (packedBlockMethod(head, taken) == BlockMethod::Lzma) return streamLzmaEntry(entry, head, cursor, sink);
    return unpackLzEntry(entry, head, taken, cursor, sink);
}

}  // namespace brindle
