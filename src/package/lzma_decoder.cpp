// Decoding an LZMA stream: a range decoder reads bits under adaptive
// probabilities; literals, matches and repeated distances come out of a
// state machine of twelve states. Every distance is checked against what
// the window holds, every length against what the block has left, and the
// input against the part it belongs to: a damaged stream ends as Damaged,
// never outside a buffer.
#include "package/lzma_decoder.h"

#include <algorithm>
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

class RangeDecoder {
public:
    explicit RangeDecoder(Input& input) : input_(input) {}

    // The encoder's first byte is always 0; the next four start the code.
    bool start() {
        range_ = 0xFFFFFFFF;
        code_ = 0;
        const bool zero = input_.byte() == 0;
        for (int i = 0; i < 4; ++i) code_ = code_ << 8 | input_.byte();
        return zero && code_ != range_;
    }

    unsigned bit(Probability& probability) {
        normalize();
        const std::uint32_t bound = (range_ >> kProbabilityBits) * probability;
        if (code_ < bound) {
            range_ = bound;
            probability = Probability(probability + (((1u << kProbabilityBits) - probability) >> kAdaptShift));
            return 0;
        }
        range_ -= bound;
        code_ -= bound;
        probability = Probability(probability - (probability >> kAdaptShift));
        return 1;
    }

    // `count` bits, most significant first, from a tree of 2^count probabilities.
    unsigned tree(Probability* probabilities, unsigned count) {
        unsigned node = 1;
        for (unsigned i = 0; i < count; ++i) node = node << 1 | bit(probabilities[node]);
        return node - (1u << count);
    }

    // `count` bits, least significant first.
    unsigned reverseTree(Probability* probabilities, unsigned count) {
        unsigned node = 1;
        unsigned value = 0;
        for (unsigned i = 0; i < count; ++i) {
            const unsigned b = bit(probabilities[node]);
            node = node << 1 | b;
            value |= b << i;
        }
        return value;
    }

    // Bits of even odds, without a probability.
    std::uint32_t direct(unsigned count) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i) {
            normalize();
            range_ >>= 1;
            const std::uint32_t b = code_ >= range_;
            code_ -= range_ & (0 - b);
            value = value << 1 | b;
        }
        return value;
    }

private:
    void normalize() {
        if (range_ < kRangeTop) {
            range_ <<= 8;
            code_ = code_ << 8 | input_.byte();
        }
    }

    Input& input_;
    std::uint32_t range_ = 0;
    std::uint32_t code_ = 0;
};

// The decoded bytes so far, as the matches see them: the whole content when
// decoding into memory, else a ring of the dictionary's size that goes to
// the sink each time it is full. Either way no match may reach further back
// than the dictionary, so a block decodes the same both ways.
class Window {
public:
    Window(std::uint8_t* bytes, std::size_t size, std::uint32_t reach, ContentSink* sink)
        : bytes_(bytes), size_(size), reach_(reach), sink_(sink) {}

    bool holds(std::uint32_t distance) const {
        return distance != 0 && distance <= reach_ && distance <= std::min<std::uint64_t>(total_, size_);
    }

    std::uint8_t back(std::uint32_t distance) const {
        return bytes_[at_ >= distance ? at_ - distance : at_ + size_ - distance];
    }
    std::uint8_t last() const { return total_ == 0 ? 0 : back(1); }
    std::uint64_t total() const { return total_; }

    bool put(std::uint8_t byte) {
        bytes_[at_++] = byte;
        ++total_;
        return at_ != size_ || flush();
    }

    // `length` bytes from `distance` back (which holds() approved), byte by
    // byte in effect, so a distance below the length repeats the latest bytes.
    bool copy(std::uint32_t distance, std::size_t length) {
        while (length != 0) {
            std::size_t from = at_ >= distance ? at_ - distance : at_ + size_ - distance;
            const std::size_t run = std::min({length, size_ - at_, size_ - from});
            std::uint8_t* to = bytes_ + at_;
            const std::uint8_t* source = bytes_ + from;
            for (std::size_t i = 0; i < run; ++i) to[i] = source[i];
            at_ += run;
            total_ += run;
            length -= run;
            if (at_ == size_ && !flush()) return false;
        }
        return true;
    }

    // Hands the bytes not yet given to the sink.
    bool flush() {
        const bool written = sink_ == nullptr || at_ == 0 || sink_->write(bytes_, at_);
        if (sink_ != nullptr) at_ = 0;
        return written;
    }

private:
    std::uint8_t* bytes_;
    std::size_t size_;
    std::uint32_t reach_;
    ContentSink* sink_;
    std::size_t at_ = 0;
    std::uint64_t total_ = 0;
};

class Decoder {
public:
    Decoder(const LzmaBlockHeader& header, Input& input, Window& window, Model& model)
        : header_(header), input_(input), window_(window), model_(model), coder_(input) {}

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
        return window_.flush() ? StreamOutcome::Done : StreamOutcome::WriteFailed;
    }

private:
    // Lengths and distances come once per match, not per bit: kept out of
    // line, they cost no speed and keep the decoder within 10 KB.
    [[gnu::noinline]] unsigned readLength(LengthModel& model, unsigned positionState) {
        if (!coder_.bit(model.choice)) return coder_.tree(model.low[positionState], 3);
        if (!coder_.bit(model.choice2)) return 8 + coder_.tree(model.middle[positionState], 3);
        return 16 + coder_.tree(model.high, 8);
    }

    // The distance of a new match, less one; kEndMarker ends the stream.
    [[gnu::noinline]] std::uint32_t distance(unsigned length) {
        const unsigned slot = coder_.tree(model_.slot[std::min(length, kLengthStates - 1)], 6);
        if (slot < 4) return slot;
        const unsigned middleBits = (slot >> 1) - 1;
        std::uint32_t value = (2 | (slot & 1)) << middleBits;
        if (slot < kFirstFarSlot) return value + coder_.reverseTree(model_.nearDistance + value - slot, middleBits);
        value += coder_.direct(middleBits - kAlignBits) << kAlignBits;
        return value + coder_.reverseTree(model_.align, kAlignBits);
    }

    std::uint8_t literal(unsigned state) {
        const unsigned positionMask = (1u << header_.literalPositionBits) - 1;
        const unsigned context = ((unsigned(window_.total()) & positionMask) << header_.literalContextBits) +
                                 (window_.last() >> (8 - header_.literalContextBits));
        Probability* probabilities = model_.literal + kLiteralCoderSize * context;
        unsigned symbol = 1;
        if (state >= kFirstStateAfterMatch) {
            // After a match, the byte that follows the match's source predicts
            // this one until a bit differs.
            unsigned matchByte = window_.back(rep_[0] + 1);
            do {
                const unsigned matchBit = (matchByte >> 7) & 1;
                matchByte <<= 1;
                const unsigned b = coder_.bit(probabilities[0x100 + (matchBit << 8) + symbol]);
                symbol = symbol << 1 | b;
                if (b != matchBit) break;
            } while (symbol < 0x100);
        }
        while (symbol < 0x100) symbol = symbol << 1 | coder_.bit(probabilities[symbol]);
        return std::uint8_t(symbol);
    }

    StreamOutcome decodePart(std::uint32_t partSize) {
        model_.reset();
        if (!coder_.start()) return StreamOutcome::Damaged;
        unsigned state = 0;
        rep_[0] = rep_[1] = rep_[2] = rep_[3] = 0;
        const unsigned positionMask = (1u << header_.positionBits) - 1;
        const std::uint64_t end = window_.total() + partSize;
        while (window_.total() < end) {
            if (input_.failed()) return StreamOutcome::Damaged;
            const unsigned positionState = unsigned(window_.total()) & positionMask;
            if (!coder_.bit(model_.isMatch[state][positionState])) {
                if (state >= kFirstStateAfterMatch && !window_.holds(rep_[0] + 1)) return StreamOutcome::Damaged;
                if (!window_.put(literal(state))) return StreamOutcome::WriteFailed;
                state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
                continue;
            }
            unsigned matchLength = 0;
            if (!coder_.bit(model_.isRep[state])) {
                matchLength = readLength(model_.length, positionState);
                rep_[3] = rep_[2];
                rep_[2] = rep_[1];
                rep_[1] = rep_[0];
                rep_[0] = distance(matchLength);
                if (rep_[0] == kEndMarker) return StreamOutcome::Damaged;  // before the content is whole
                state = state < kFirstStateAfterMatch ? 7 : 10;
            } else {
                if (!coder_.bit(model_.isRepG0[state])) {
                    if (!coder_.bit(model_.isRep0Long[state][positionState])) {
                        // One byte from the latest distance.
                        if (!window_.holds(rep_[0] + 1)) return StreamOutcome::Damaged;
                        if (!window_.put(window_.back(rep_[0] + 1))) return StreamOutcome::WriteFailed;
                        state = state < kFirstStateAfterMatch ? 9 : 11;
                        continue;
                    }
                } else {
                    std::uint32_t chosen;
                    if (!coder_.bit(model_.isRepG1[state])) {
                        chosen = rep_[1];
                    } else {
                        if (!coder_.bit(model_.isRepG2[state])) {
                            chosen = rep_[2];
                        } else {
                            chosen = rep_[3];
                            rep_[3] = rep_[2];
                        }
                        rep_[2] = rep_[1];
                    }
                    rep_[1] = rep_[0];
                    rep_[0] = chosen;
                }
                matchLength = readLength(model_.repLength, positionState);
                state = state < kFirstStateAfterMatch ? 8 : 11;
            }
            const std::size_t copied = matchLength + kMinMatch;
            if (!window_.holds(rep_[0] + 1) || copied > end - window_.total()) return StreamOutcome::Damaged;
            if (!window_.copy(rep_[0] + 1, copied)) return StreamOutcome::WriteFailed;
        }
        return input_.failed() ? StreamOutcome::Damaged : StreamOutcome::Done;
    }

    const LzmaBlockHeader& header_;
    Input& input_;
    Window& window_;
    Model& model_;
    RangeDecoder coder_;
    std::uint32_t rep_[4] = {};  // the latest four distances, less one
};

// Takes the decoded bytes from the window, reverses the filter, sums them up
// and passes them on. The window's bytes stay as they are: later matches
// copy from them.
class FilteredSink final : public ContentSink {
public:
    FilteredSink(ContentSink& target, std::uint8_t filter, std::uint8_t* staging, std::size_t capacity)
        : target_(target), filter_(filter), staging_(staging), capacity_(capacity) {}

    bool write(const std::uint8_t* data, std::size_t length) override {
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
