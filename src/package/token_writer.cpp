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
    std::size_t literal = 0;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const Token& token = tokens[t];
        if (token.distance == 0) {
            writeLiteral(position, plan.actions[literal++]);
        } else if (token.distance == Token::kByteCodeDistance) {
            writeByteCode(position);
        } else if (token.distance == Token::kRawDistance) {
            // Neighbouring chunks share one run code.
            std::size_t chunks = 1;
            while (t + 1 < tokens.size() && tokens[t + 1].distance == Token::kRawDistance) {
                ++chunks;
                ++t;
            }
            writeRawRun(position, chunks);
            position += chunks * kRawChunkLength;
            continue;
        } else if (token.distance == Token::kRepeatDistance) {
            bits_.put(0b01, 2);
            bits_.putGamma(2);
            bits_.putGamma(token.length);
        } else {
            writeMatch(token.distance, token.length);
        }
        position += token.length;
    }
}

void TokenWriter::writeByteCode(std::size_t position) {
    if (data_[position] == 0) {
        bits_.put(0b001'0001, 7);
    } else {
        bits_.put(0b001, 3);
        bits_.put(nearCopyOffset(data_, position) + 1, 4);
    }
}

void TokenWriter::writeLiteral(std::size_t position, const ByteAction& action) {
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
    if (action.mode == kWideLiterals) {
        bits_.put(0x100u | byte, 9);
    } else {
        bits_.put(0x80u | std::uint8_t(byte - narrowBase(action.mode)), 8);
    }
}

void TokenWriter::writeRawRun(std::size_t position, std::size_t chunks) {
    bits_.put(0b001'0000'1, 8);
    for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
        for (std::size_t at = 0; at < kRawChunkLength; ++at) bits_.put(data_[position++], 8);
        bits_.put(chunk + 1 < chunks ? 1 : 0, 1);
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

}  // namespace brindle
