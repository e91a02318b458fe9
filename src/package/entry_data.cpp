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

// What a streamed block came to, once the cursor is past it.
EntryData outcomeOf(StreamOutcome outcome, CursorSource& rest) {
    if (!rest.skipRest()) return EntryData::Truncated;
    switch (outcome) {
        case StreamOutcome::Done: return EntryData::Read;
        case StreamOutcome::NoMemory: return EntryData::TooLarge;
        case StreamOutcome::WriteFailed: return EntryData::WriteFailed;
        case StreamOutcome::Damaged: break;
    }
    return EntryData::Damaged;
}

EntryData streamLzmaEntry(const PackageEntry& entry, const std::uint8_t* head, DataCursor& cursor, ContentSink& sink) {
    LzmaBlockHeader header;
    CursorSource rest(cursor, entry.storedSize - std::uint32_t(kLzmaHeaderSize));
    StreamOutcome outcome = StreamOutcome::Damaged;
    if (readLzmaHeader(head, kLzmaHeaderSize, header) && header.size == entry.size)
        outcome = streamLzma(header, rest, sink);
    return outcomeOf(outcome, rest);
}

}  // namespace

EntryData streamEntryData(const PackageEntry& entry, DataCursor& cursor, ContentSink& sink,
                          const LzStreamBuffers& lzBuffers) {
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
    CursorSource rest(cursor, entry.storedSize - taken);
    return outcomeOf(streamLz(head, taken, rest, sink, lzBuffers), rest);
}

}  // namespace brindle
