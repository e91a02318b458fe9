#include "package/token_writer.h"

namespace brindle {

void TokenWriter::setIndexWidth(unsigned width) {
    if (width == indexWidth_) return;
    const unsigned field = indexWidthFieldBits(width);
    bits_.put(0, 3 + 7);
    bits_.put(field - 3, 2);
    bits_.put(width, field);
    indexWidth_ = width;
}

void TokenWriter::write(std::size_t start, const std::vector<Token>& tokens, const LiteralPlan& plan) {
    std::size_t position = start;
    std::size_t single = 0;
    for (std::size_t t = 0; t < tokens.size();) {
        const Token& token = tokens[t];
        if (token.distance != 0) {
            if (token.distance == Token::kRepeatDistance) {
                bits_.put(0b01, 2);
                bits_.putGamma(2);
                bits_.putGamma(token.length);
            } else {
                writeMatch(token.distance, token.length);
            }
            position += token.length;
            ++t;
        } else if (plan.actions[single].raw) {
            std::size_t length = 0;
            while (single + length < plan.actions.size() && plan.actions[single + length].raw &&
                   tokens[t + length].distance == 0) {
                ++length;
            }
            writeRawRun(position, length);
            position += length;
            single += length;
            t += length;
        } else {
            writeByte(position, plan.actions[single]);
            ++position;
            ++single;
            ++t;
        }
    }
}

void TokenWriter::writeByte(std::size_t position, const ByteAction& action) {
    if (action.switchMode) {
        bits_.put(0b001'0000'0, 8);
        if (action.mode == kWideLiterals) {
            bits_.put(1, 1);
        } else {
            bits_.put(0, 1);
            bits_.put(narrowBase(action.mode), 8);
        }
    }
    const std::uint8_t byte = data_[position];
    const std::uint32_t nearOffset = nearCopyOffset(data_, position);
    if (byte == 0) {
        bits_.put(0b001'0001, 7);
    } else if (nearOffset != 0) {
        bits_.put(0b001, 3);
        bits_.put(nearOffset + 1, 4);
    } else if (action.mode == kWideLiterals) {
        bits_.put(0x100u | byte, 9);
    } else {
        bits_.put(0x80u | std::uint8_t(byte - narrowBase(action.mode)), 8);
    }
}

// `length` is a multiple of the chunk length, as the plan only makes such runs.
void TokenWriter::writeRawRun(std::size_t position, std::size_t length) {
    bits_.put(0b001'0000'1, 8);
    for (std::size_t at = 0; at < length; ++at) {
        bits_.put(data_[position + at], 8);
        if ((at + 1) % kRawChunkLength == 0) bits_.put(at + 1 < length ? 1 : 0, 1);
    }
}

void TokenWriter::writeMatch(std::uint32_t distance, std::uint32_t length) {
    if (isShortMatch(distance, length)) {
        bits_.put(0, 3);
        bits_.put(distance, 7);
        bits_.put(length - 2, 2);
        return;
    }
    bits_.put(0b01, 2);
    bits_.putGamma((distance >> indexWidth_) + 3);
    bits_.put(distance & ((std::uint32_t(1) << indexWidth_) - 1), indexWidth_);
    bits_.putGamma(length - longMatchBonus(distance));
}

void TokenWriter::finish() {
    bits_.put(0, 3 + 7 + 2);
    bits_.finish();
}

}  // namespace brindle
