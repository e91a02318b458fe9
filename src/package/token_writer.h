// Writes parsed tokens as codes of the packed stream, tracking the decoder
// state the codes depend on (index width, literal width and base).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/bit_writer.h"
#include "package/code_costs.h"
#include "package/literal_plan.h"
#include "package/optimal_parse.h"

namespace brindle {

class TokenWriter {
public:
    // The decoder's index width where the writing starts; kUnknownIndexWidth
    // makes the first setIndexWidth() write its code whatever the width.
    static constexpr unsigned kUnknownIndexWidth = kLargestIndexWidth + 1;
    TokenWriter(std::vector<std::uint8_t>& out, const std::uint8_t* data, unsigned indexWidth)
        : bits_(out), data_(data), indexWidth_(indexWidth) {}

    void setIndexWidth(unsigned width);

    // Writes `tokens`, which cover data from `start`, with the literals
    // written as `plan` says.
    void write(std::size_t start, const std::vector<Token>& tokens, const LiteralPlan& plan);

    // The bits after the last whole word, for the next writer to continue from.
    void takePending(std::uint32_t& value, unsigned& count) { bits_.takePending(value, count); }

private:
    void writeLiteral(std::size_t position, const ByteAction& action);
    void writeByteCode(std::size_t position);
    void writeRawRun(std::size_t position, std::size_t chunks);
    void writeMatch(std::uint32_t distance, std::uint32_t length);

    BitWriter bits_;
    const std::uint8_t* data_;
    unsigned indexWidth_;
};

}  // namespace brindle
