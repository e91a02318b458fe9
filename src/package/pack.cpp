// Placeholder encoder: a literal-width code, every byte as a literal, the end
// code. Valid but uncompressed; the real encoder replaces this file.
#include "package/pack.h"

#include "package/block_checksum.h"
#include "package/packed_block.h"

namespace brindle {

namespace {
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void put(std::uint32_t value, unsigned count) {
        while (count--) {
            word_ = word_ << 1 | ((value >> count) & 1);
            if (++used_ == 32) flush();
        }
    }
    void finish() {
        if (used_ == 0) return;
        word_ <<= 32 - used_;
        flush();
    }

private:
    void flush() {
        std::uint8_t bytes[4];
        storeLe32(bytes, word_);
        out_.insert(out_.end(), bytes, bytes + 4);
        word_ = 0;
        used_ = 0;
    }
    std::vector<std::uint8_t>& out_;
    std::uint32_t word_ = 0;
    unsigned used_ = 0;
};
}  // namespace

std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t length) {
    std::vector<std::uint8_t> out(kPackedHeaderSize);
    out[0] = kPackedMagic0;
    out[1] = kPackedMagic1;
    storeLe32(&out[2], std::uint32_t(length));
    storeLe32(&out[6], blockChecksum(data, length));
    BitWriter bits(out);
    bits.put(0b001'0000'0'1, 9);  // literal width 8
    for (std::size_t i = 0; i < length; ++i) bits.put(0x100u | data[i], 9);
    bits.put(0, 12);  // end code
    bits.finish();
    return out;
}

}  // namespace brindle
