// Decoding an LZMA stream: a range decoder reads bits under adaptive
// probabilities; literals, matches and repeated distances come out of a
// state machine of twelve states. Every distance is checked against what
// the window holds, every length against what the block has left, and the
// input against the part it belongs to: a damaged stream ends as Damaged,
// never outside a buffer.
#include "package/lzma_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "package/block_checksum.h"
#include "package/packed_block.h"
#include "package/x86_filter.h"

namespace brindle {

namespace {

using Probability = std::uint16_t;
constexpr unsigned kProbabilityBits = 11;
constexpr Probability kEven = 1u << (kProbabilityBits - 1);
constexpr unsigned kAdaptShift = 5;
constexpr std::uint32_t kRangeTop = 1u << 24;

constexpr unsigned kStates = 12;
constexpr unsigned kFirstStateAfterMatch = 7;
constexpr unsigned kMaxPositionStates = 1u << kLzmaMaxPositionBits;
constexpr unsigned kLengthStates = 4;
constexpr unsigned kDistanceSlots = 64;
constexpr unsigned kFirstFarSlot = 14;  // from here on, the middle bits come uncoded
constexpr unsigned kNearDistances = 1u << (kFirstFarSlot / 2);
constexpr unsigned kAlignBits = 4;
constexpr std::uint32_t kEndMarker = 0xFFFFFFFF;
constexpr unsigned kMinMatch = 2;
constexpr unsigned kLiteralCoderSize = 0x300;

struct LengthModel {
    Probability choice;
    Probability choice2;
    Probability low[kMaxPositionStates][8];
    Probability middle[kMaxPositionStates][8];
    Probability high[256];
};

// All probabilities of a stream, reset to even at the start of each part.
struct Model {
    Probability isMatch[kStates][kMaxPositionStates];
    Probability isRep[kStates];
    Probability isRepG0[kStates];
    Probability isRepG1[kStates];
    Probability isRepG2[kStates];
    Probability isRep0Long[kStates][kMaxPositionStates];
    Probability slot[kLengthStates][kDistanceSlots];
    Probability nearDistance[1 + kNearDistances - kFirstFarSlot];
    Probability align[1u << kAlignBits];
    LengthModel length;
    LengthModel repLength;
    Probability literal[kLiteralCoderSize << kLzmaMaxLiteralBits];

    void reset() { std::fill_n(&isMatch[0][0], sizeof(Model) / sizeof(Probability), kEven); }
};

// The block's bytes after the header: buffered from a source, or all in
// memory. Reads are confined to the current part (or field): past its end,
// or when the source runs dry, the input fails and yields zeros, which the
// decoder notices at its next symbol.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t length) : at_(data), end_(data), bufferEnd_(data + length) {}
    Input(BlockSource& source, std::uint8_t* buffer, std::size_t capacity)
        : source_(&source), buffer_(buffer), capacity_(capacity) {}

    std::uint8_t byte() { return at_ != end_ ? *at_++ : refill(); }

    void beginPart(std::uint32_t length) {
        partLeft_ = length;
        limit();
    }

    // Passes what the part holds beyond what was decoded.
    void endPart() {
        at_ = end_;
        while (partLeft_ != 0 && !failed_) {
            if (at_ == bufferEnd_ && !fill()) return;
            limit();
            at_ = end_;
        }
    }

    bool readU32(std::uint32_t& value) {
        std::uint8_t bytes[4];
        beginPart(4);
        for (std::uint8_t& byte : bytes) byte = this->byte();
        value = loadLe32(bytes);
        return !failed_;
    }

    bool failed() const { return failed_; }

    // The decoder reads the bytes in [at, end) itself, asks refill() for
    // more when they run out, and gives back where it stopped.
    void take(const std::uint8_t*& at, const std::uint8_t*& end) const {
        at = at_;
        end = end_;
    }
    void give(const std::uint8_t* at) { at_ = at; }
    [[gnu::noinline]] std::uint8_t refill(const std::uint8_t*& at, const std::uint8_t*& end) {
        at_ = at;
        const std::uint8_t byte = refill();
        at = at_;
        end = end_;
        return byte;
    }

private:
    void limit() {
        const std::size_t available = std::size_t(bufferEnd_ - at_);
        const std::size_t taken = std::size_t(std::min<std::uint64_t>(available, partLeft_));
        end_ = at_ + taken;
        partLeft_ -= taken;
    }

    bool fill() {
        const std::size_t got = source_ ? source_->read(buffer_, capacity_) : 0;
        if (got == 0 || got > capacity_) {
            failed_ = true;
            return false;
        }
        at_ = buffer_;
        bufferEnd_ = buffer_ + got;
        return true;
    }

    std::uint8_t refill() {
        if (partLeft_ == 0 || failed_ || (at_ == bufferEnd_ && !fill())) {
            failed_ = true;
            return 0;
        }
        limit();
        return *at_++;
    }

    BlockSource* source_ = nullptr;
    std::uint8_t* buffer_ = nullptr;
    std::size_t capacity_ = 0;
    const std::uint8_t* at_ = nullptr;
    const std::uint8_t* end_ = nullptr;  // of the bytes the part may still use from the buffer
    const std::uint8_t* bufferEnd_ = nullptr;
    std::uint64_t partLeft_ = 0;  // bytes of the part beyond end_
    bool failed_ = false;
};

// The decoded bytes so far, as the matches see them: the whole content when
// decoding into memory, else a ring of the dictionary's size that goes to
// the sink each time it is full. Either way no match may reach further back
// than the dictionary, so a block decodes the same both ways. The decoder
// works on a copy of the write position and hands it back before it calls
// anything here.
class Window {
public:
    Window(std::uint8_t* bytes, std::size_t size, std::uint32_t reach, ContentSink* sink)
        : bytes_(bytes), size_(size), reach_(reach), sink_(sink) {}

    // Whether `rep` + 1 bytes back lies in the window, for a write position `at`.
    bool holds(std::uint32_t rep, std::size_t at) const { return rep < reach_ && (wrapped_ || rep < at); }

    std::uint8_t back(std::uint32_t distance, std::size_t at) const {
        return bytes_[at >= distance ? at - distance : at + size_ - distance];
    }
    std::uint64_t total(std::size_t at) const { return base_ + at; }

    // `length` bytes from `distance` back (which holds() approved), byte by
    // byte in effect, so a distance below the length repeats the latest
    // bytes; across the ring's end. Returns false when the sink refuses.
    bool copy(std::uint32_t distance, std::size_t length, std::size_t& at) {
        while (length != 0) {
            const std::size_t from = at >= distance ? at - distance : at + size_ - distance;
            const std::size_t run = std::min({length, size_ - at, size_ - from});
            std::uint8_t* to = bytes_ + at;
            const std::uint8_t* source = bytes_ + from;
            for (std::size_t i = 0; i < run; ++i) to[i] = source[i];
            at += run;
            length -= run;
            if (at == size_ && !flush(at)) return false;
        }
        return true;
    }

    // Hands the bytes not yet given to the sink; a full ring starts again.
    bool flush(std::size_t& at) {
        const bool written = sink_ == nullptr || at == 0 || sink_->write(bytes_, at);
        if (sink_ != nullptr && at == size_) {
            base_ += at;
            at = 0;
            wrapped_ = true;
        }
        return written;
    }

    std::uint8_t* bytes() const { return bytes_; }
    std::size_t size() const { return size_; }

    std::size_t at = 0;  // the write position, as the decoder last handed it back

private:
    std::uint8_t* bytes_;
    std::size_t size_;
    std::uint32_t reach_;
    ContentSink* sink_;
    std::uint64_t base_ = 0;  // the content's bytes before the ring's start
    bool wrapped_ = false;    // the ring has been full: all of it is history
};

class Decoder {
public:
    Decoder(const LzmaBlockHeader& header, Input& input, Window& window, Model& model)
        : header_(header), input_(input), window_(window), model_(model) {}

    StreamOutcome run() {
        std::uint64_t left = header_.size;
        while (left != 0) {
            std::uint32_t packedLength = 0;
            if (!input_.readU32(packedLength)) return StreamOutcome::Damaged;
            const std::uint32_t partSize = std::uint32_t(std::min<std::uint64_t>(left, header_.partLength));
            input_.beginPart(packedLength);
            const StreamOutcome part = decodePart(partSize);
            if (part != StreamOutcome::Done) return part;
            input_.endPart();
            if (input_.failed()) return StreamOutcome::Damaged;
            left -= partSize;
        }
        return window_.flush(window_.at) ? StreamOutcome::Done : StreamOutcome::WriteFailed;
    }

private:
    // One part, with the range coder's state, the input and the write
    // position in locals that stay in registers; only the rare cases (input
    // to refill, a ring to flush, a match across the ring's end) leave them.
    StreamOutcome decodePart(std::uint32_t partSize) {
        Model& model = model_;
        model.reset();
        const std::uint8_t* in;
        const std::uint8_t* inEnd;
        input_.take(in, inEnd);
        std::uint32_t range = 0xFFFFFFFF;
        std::uint32_t code = 0;

        const auto nextByte = [&]() -> std::uint32_t {
            if (in != inEnd) [[likely]] return *in++;
            return input_.refill(in, inEnd);
        };
        const auto normalize = [&] {
            if (range < kRangeTop) {
                range <<= 8;
                code = code << 8 | nextByte();
            }
        };
        const auto bit = [&](Probability& probability) -> unsigned {
            normalize();
            const std::uint32_t bound = (range >> kProbabilityBits) * probability;
            if (code < bound) {
                range = bound;
                probability = Probability(probability + (((1u << kProbabilityBits) - probability) >> kAdaptShift));
                return 0;
            }
            range -= bound;
            code -= bound;
            probability = Probability(probability - (probability >> kAdaptShift));
            return 1;
        };
        // `count` bits, most significant first, from a tree of 2^count probabilities.
        const auto tree = [&](Probability* probabilities, unsigned count) {
            unsigned node = 1;
            for (unsigned i = 0; i < count; ++i) node = node << 1 | bit(probabilities[node]);
            return node - (1u << count);
        };
        // `count` bits, least significant first.
        const auto reverseTree = [&](Probability* probabilities, unsigned count) {
            unsigned node = 1;
            unsigned value = 0;
            for (unsigned i = 0; i < count; ++i) {
                const unsigned b = bit(probabilities[node]);
                node = node << 1 | b;
                value |= b << i;
            }
            return value;
        };

        // The encoder's first byte is always 0; the next four start the code.
        const bool zero = nextByte() == 0;
        for (int i = 0; i < 4; ++i) code = code << 8 | nextByte();
        if (!zero || code == range) return StreamOutcome::Damaged;

        std::uint8_t* const bytes = window_.bytes();
        std::uint8_t* out = bytes + window_.at;
        // Where the loop must stop to flush the ring or end the part, and
        // what the part holds beyond that.
        std::uint8_t* limit;
        std::uint32_t leftBeyond;
        const auto setLimit = [&](std::uint32_t partLeft) {
            const std::size_t room = window_.size() - std::size_t(out - bytes);
            limit = out + std::min<std::size_t>(room, partLeft);
            leftBeyond = partLeft - std::uint32_t(limit - out);
        };
        setLimit(partSize);
        // The content's position modulo 2^32, for the position bits.
        std::uint32_t positionBase = std::uint32_t(window_.total(0));
        const unsigned positionMask = (1u << header_.positionBits) - 1;
        const unsigned literalPositionMask = (1u << header_.literalPositionBits) - 1;
        const unsigned literalContextBits = header_.literalContextBits;
        unsigned state = 0;
        std::uint32_t rep0 = 0, rep1 = 0, rep2 = 0, rep3 = 0;  // the latest four distances, less one

        for (;;) {
            if (out == limit) [[unlikely]] {
                if (leftBeyond == 0) break;
                window_.at = std::size_t(out - bytes);
                if (!window_.flush(window_.at)) return StreamOutcome::WriteFailed;
                out = bytes + window_.at;
                positionBase = std::uint32_t(window_.total(0));
                setLimit(leftBeyond);
            }
            if (input_.failed()) [[unlikely]] return StreamOutcome::Damaged;
            const std::size_t at = std::size_t(out - bytes);
            const unsigned position = positionBase + std::uint32_t(at);
            const unsigned positionState = position & positionMask;
            if (!bit(model.isMatch[state][positionState])) {
                const unsigned previous = at != 0 ? out[-1] : window_.total(0) != 0 ? window_.back(1, at) : 0;
                const unsigned context = ((position & literalPositionMask) << literalContextBits) +
                                         (previous >> (8 - literalContextBits));
                Probability* probabilities = model.literal + kLiteralCoderSize * context;
                unsigned symbol = 1;
                if (state >= kFirstStateAfterMatch) {
                    // After a match, the byte that follows the match's source
                    // predicts this one until a bit differs; from there on the
                    // offset is 0 and the plain tree goes on. rep0 lies in the
                    // window: the match that set the state was checked.
                    unsigned matchByte = window_.back(rep0 + 1, at);
                    unsigned offset = 0x100;
                    do {
                        matchByte <<= 1;
                        const unsigned matchBit = matchByte & offset;
                        const unsigned b = bit(probabilities[offset + matchBit + symbol]);
                        symbol = symbol << 1 | b;
                        offset &= b ? matchBit : ~matchBit;
                    } while (symbol < 0x100);
                } else {
                    do symbol = symbol << 1 | bit(probabilities[symbol]);
                    while (symbol < 0x100);
                }
                *out++ = std::uint8_t(symbol);
                state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
                continue;
            }
            LengthModel* lengthModel = &model.repLength;
            if (!bit(model.isRep[state])) {
                lengthModel = &model.length;
                rep3 = rep2;
                rep2 = rep1;
                rep1 = rep0;
                state = state < kFirstStateAfterMatch ? 7 : 10;
            } else if (!bit(model.isRepG0[state])) {
                if (!bit(model.isRep0Long[state][positionState])) {
                    // One byte from the latest distance.
                    if (!window_.holds(rep0, at)) return StreamOutcome::Damaged;
                    *out = window_.back(rep0 + 1, at);
                    ++out;
                    state = state < kFirstStateAfterMatch ? 9 : 11;
                    continue;
                }
                state = state < kFirstStateAfterMatch ? 8 : 11;
            } else {
                std::uint32_t chosen;
                if (!bit(model.isRepG1[state])) {
                    chosen = rep1;
                } else {
                    if (!bit(model.isRepG2[state])) {
                        chosen = rep2;
                    } else {
                        chosen = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = chosen;
                state = state < kFirstStateAfterMatch ? 8 : 11;
            }
            Probability* lengthTree = lengthModel->high;
            unsigned lengthBits = 8;
            unsigned length = 16;
            if (!bit(lengthModel->choice)) {
                lengthTree = lengthModel->low[positionState];
                lengthBits = 3;
                length = 0;
            } else if (!bit(lengthModel->choice2)) {
                lengthTree = lengthModel->middle[positionState];
                lengthBits = 3;
                length = 8;
            }
            length += tree(lengthTree, lengthBits);
            if (lengthModel == &model.length) {
                // The distance of a new match.
                const unsigned slot = tree(model.slot[std::min(length, kLengthStates - 1)], 6);
                if (slot < 4) {
                    rep0 = slot;
                } else {
                    const unsigned middleBits = (slot >> 1) - 1;
                    rep0 = (2 | (slot & 1)) << middleBits;
                    if (slot < kFirstFarSlot) {
                        rep0 += reverseTree(model.nearDistance + rep0 - slot, middleBits);
                    } else {
                        rep0 = 2 | (slot & 1);
                        for (unsigned i = kAlignBits; i < middleBits; ++i) {
                            normalize();
                            range >>= 1;
                            const std::uint32_t b = code >= range;
                            code -= range & (0 - b);
                            rep0 += rep0 + b;
                        }
                        rep0 <<= kAlignBits;
                        rep0 += reverseTree(model.align, kAlignBits);
                        // The end marker ends the stream before the content is whole.
                        if (rep0 == kEndMarker) return StreamOutcome::Damaged;
                    }
                }
            }
            const std::size_t copied = length + kMinMatch;
            const std::size_t room = std::size_t(limit - out);
            if (!window_.holds(rep0, at) || copied > room + leftBeyond) return StreamOutcome::Damaged;
            if (copied <= room && rep0 < at) [[likely]] {
                const std::uint8_t* from = out - rep0 - 1;
                std::uint8_t* const to = out + copied;
                // Chunks of 8 bytes where each comes from bytes written before
                // it, never past the match's end: beyond it a ring holds
                // history that later matches may still read.
                if (rep0 >= 7) {
                    for (; to - out >= 8; out += 8, from += 8) std::memcpy(out, from, 8);
                }
                while (out != to) *out++ = *from++;
            } else {
                // Across the ring's end: the window copies and flushes.
                std::size_t next = at;
                if (!window_.copy(rep0 + 1, copied, next)) return StreamOutcome::WriteFailed;
                const std::uint32_t partLeft = std::uint32_t(room + leftBeyond - copied);
                out = bytes + next;
                positionBase = std::uint32_t(window_.total(0));
                setLimit(partLeft);
            }
        }
        window_.at = std::size_t(out - bytes);
        input_.give(in);
        return input_.failed() ? StreamOutcome::Damaged : StreamOutcome::Done;
    }

    const LzmaBlockHeader& header_;
    Input& input_;
    Window& window_;
    Model& model_;
};

// Takes the decoded bytes from the window, reverses the filter, sums them up
// and passes them on. The window's bytes stay as they are: later matches
// copy from them.
class FilteredSink final : public ContentSink {
public:
    FilteredSink(ContentSink& target, std::uint8_t filter, std::uint8_t* staging, std::size_t capacity)
        : target_(target), filter_(filter), staging_(staging), capacity_(capacity) {}

    bool write(const std::uint8_t* data, std::size_t length) override {
        // Unfiltered content goes on as the window hands it over: no copy,
        // and a file takes it in a few large writes.
        if (filter_ == kNoFilter) {
            checksum_.add(data, length);
            return target_.write(data, length);
        }
        while (length != 0) {
            const std::size_t taken = std::min(length, capacity_ - held_);
            std::copy(data, data + taken, staging_ + held_);
            held_ += taken;
            data += taken;
            length -= taken;
            const std::size_t done = applyLzmaFilter(filter_, staging_, held_, position_, false);
            if (!pass(done)) return false;
        }
        return true;
    }

    // The last bytes, which no instruction can run past.
    bool finish() { return pass(held_); }
    std::uint32_t checksum() const { return checksum_.finish(); }

private:
    bool pass(std::size_t count) {
        checksum_.add(staging_, count);
        if (count != 0 && !target_.write(staging_, count)) return false;
        std::copy(staging_ + count, staging_ + held_, staging_);
        held_ -= count;
        position_ += std::uint32_t(count);
        return true;
    }

    ContentSink& target_;
    std::uint8_t filter_;
    std::uint8_t* staging_;
    std::size_t capacity_;
    std::size_t held_ = 0;
    std::uint32_t position_ = 0;
    ChecksumStream checksum_;
};

constexpr std::size_t kInputBuffer = std::size_t(32) << 10;
constexpr std::size_t kStagingBuffer = std::size_t(64) << 10;

}  // namespace

bool unpackLzma(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                std::size_t capacity, std::uint32_t& written) {
    written = 0;
    LzmaBlockHeader header;
    if (!readLzmaHeader(source, sourceLength, header) || header.size > capacity) return false;
    std::unique_ptr<Model> model(new (std::nothrow) Model);
    if (!model) return false;
    Input input(source + kLzmaHeaderSize, sourceLength - kLzmaHeaderSize);
    Window window(destination, header.size, header.dictionarySize, nullptr);
    if (Decoder(header, input, window, *model).run() != StreamOutcome::Done) return false;
    applyLzmaFilter(header.filter, destination, header.size, 0, false);
    if (header.checksum != 0 && blockChecksum(destination, header.size) != header.checksum) return false;
    written = header.size;
    return true;
}

StreamOutcome streamLzma(const LzmaBlockHeader& header, BlockSource& source, ContentSink& sink) {
    // The window need not exceed the content, nor may a match reach further
    // back than the dictionary.
    const std::size_t windowSize = std::min(header.size, std::max<std::uint32_t>(header.dictionarySize, 1));
    if (windowSize > kLargestStreamWindow) return StreamOutcome::Damaged;
    std::unique_ptr<Model> model(new (std::nothrow) Model);
    std::unique_ptr<std::uint8_t[]> window(new (std::nothrow) std::uint8_t[windowSize + 1]);
    std::unique_ptr<std::uint8_t[]> buffers(new (std::nothrow) std::uint8_t[kInputBuffer + kStagingBuffer]);
    if (!model || !window || !buffers) return StreamOutcome::NoMemory;
    Input input(source, buffers.get(), kInputBuffer);
    FilteredSink filtered(sink, header.filter, buffers.get() + kInputBuffer, kStagingBuffer);
    Window ring(window.get(), windowSize, header.dictionarySize, &filtered);
    const StreamOutcome outcome = Decoder(header, input, ring, *model).run();
    if (outcome != StreamOutcome::Done) return outcome;
    if (!filtered.finish()) return StreamOutcome::WriteFailed;
    if (header.checksum != 0 && filtered.checksum() != header.checksum) return StreamOutcome::Damaged;
    return StreamOutcome::Done;
}

std::size_t applyLzmaFilter(std::uint8_t filter, std::uint8_t* data, std::size_t length, std::uint32_t position,
                            bool forward) {
    if (filter == kNoFilter) return length;
    return convertX86(data, length, position, forward,
                      filter == kX86FilterFirstForm ? X86Form::First : X86Form::SkipsOperands);
}

bool readLzmaHeader(const std::uint8_t* source, std::size_t sourceLength, LzmaBlockHeader& header) {
    if (source == nullptr || sourceLength < kLzmaHeaderSize || source[0] != kLzmaMagic0 || source[1] != kLzmaMagic1)
        return false;
    const unsigned properties = source[10];
    header.size = loadLe32(source + 2);
    header.checksum = loadLe32(source + 6);
    header.literalContextBits = properties % 9;
    header.literalPositionBits = properties / 9 % 5;
    header.positionBits = properties / 45;
    header.dictionarySize = loadLe32(source + 11);
    header.filter = source[15];
    header.partLength = loadLe32(source + 16);
    return header.literalContextBits + header.literalPositionBits <= kLzmaMaxLiteralBits &&
           header.positionBits <= kLzmaMaxPositionBits && header.filter <= kX86Filter &&
           (header.partLength != 0 || header.size == 0);
}

void writeLzmaHeader(const LzmaBlockHeader& header, std::uint8_t out[kLzmaHeaderSize]) {
    out[0] = kLzmaMagic0;
    out[1] = kLzmaMagic1;
    storeLe32(out + 2, header.size);
    storeLe32(out + 6, header.checksum);
    out[10] = std::uint8_t((header.positionBits * 5 + header.literalPositionBits) * 9 + header.literalContextBits);
    storeLe32(out + 11, header.dictionarySize);
    out[15] = header.filter;
    storeLe32(out + 16, header.partLength);
}

}  // namespace brindle
