#include "package/lzma_pack.h"

#include <lzma.h>

#include <algorithm>

#include "package/block_checksum.h"
#include "package/packed_block.h"
#include "package/x86_filter.h"

namespace brindle {

namespace {
// On a 200 MB tree of programs and text, 24 MiB packed 0.6 % smaller than
// 16 MiB for a tenth more time, 32 MiB 0.1 % smaller again for another
// tenth (docs/measurements.md); the installer's window is this large.
constexpr std::uint32_t kDictionarySize = std::uint32_t(24) << 20;
constexpr std::uint32_t kSmallestDictionary = std::uint32_t(4) << 10;

// The filter is judged on this many samples of this length spread over the
// content, each packed quickly with and without it. It must win them by a
// fiftieth: samples do not see the matches between programs further apart,
// which the filter can break. On the benchmark tree it won samples by
// 0.1-0.6 % and lost 1.3 % on the whole (docs/measurements.md).
constexpr std::size_t kFilterSamples = 8;
constexpr std::size_t kFilterSampleLength = std::size_t(1) << 20;

std::size_t partCount(const LzmaBlockHeader& plan) { return (std::size_t(plan.size) + plan.partLength - 1) / plan.partLength; }

// The packed size of data[0, length) at liblzma's fastest settings, with
// its matches reaching over the whole sample.
std::size_t quickPackedSize(const std::uint8_t* data, std::size_t length) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 0);
    options.dict_size = std::uint32_t(std::max(length, std::size_t(LZMA_DICT_SIZE_MIN)));
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::vector<std::uint8_t> packed(length + length / 16 + 4096);
    std::size_t used = 0;
    if (lzma_raw_buffer_encode(filters, nullptr, data, length, packed.data(), &used, packed.size()) != LZMA_OK)
        return length;
    return used;
}
}  // namespace

bool x86FilterPays(const std::uint8_t* data, std::size_t length) {
    const std::size_t sampleLength = std::min(length, kFilterSampleLength);
    const std::size_t samples = std::min(kFilterSamples, length / std::max<std::size_t>(sampleLength, 1));
    std::size_t plain = 0;
    std::size_t filtered = 0;
    std::vector<std::uint8_t> sample;
    for (std::size_t index = 0; index < samples; ++index) {
        const std::size_t start = samples == 1 ? 0 : (length - sampleLength) / (samples - 1) * index;
        sample.assign(data + start, data + start + sampleLength);
        plain += quickPackedSize(sample.data(), sampleLength);
        convertX86(sample.data(), sampleLength, std::uint32_t(start), true, X86Form::SkipsOperands);
        filtered += quickPackedSize(sample.data(), sampleLength);
    }
    return filtered * 50 < plain * 49;
}

LzmaBlockHeader lzmaPlanFor(const std::uint8_t* data, std::size_t length) {
    LzmaBlockHeader plan;
    plan.size = std::uint32_t(length);
    plan.dictionarySize = std::uint32_t(std::clamp<std::size_t>(length, kSmallestDictionary, kDictionarySize));
    plan.filter = x86FilterPays(data, length) ? kX86Filter : kNoFilter;
    plan.partLength = std::uint32_t(kLzmaPartLength);
    return plan;
}

std::vector<std::uint8_t> packLzmaPart(const LzmaBlockHeader& plan, const std::uint8_t* filtered, std::size_t length,
                                       std::size_t index) {
    const std::size_t start = index * plan.partLength;
    const std::size_t size = std::min<std::size_t>(plan.partLength, length - start);
    const std::size_t history = std::min<std::size_t>(start, plan.dictionarySize);
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 9);  // the extreme preset packs no smaller here (see docs/measurements.md)
    options.dict_size = plan.dictionarySize;
    options.lc = plan.literalContextBits;
    options.lp = plan.literalPositionBits;
    options.pb = plan.positionBits;
    options.preset_dict = history ? filtered + start - history : nullptr;
    options.preset_dict_size = std::uint32_t(history);
    // The part's size is in the block, so no end marker (ext_flags 0).
    options.ext_flags = 0;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream stream = LZMA_STREAM_INIT;
    std::vector<std::uint8_t> packed;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK) return packed;
    packed.resize(size + size / 16 + 4096);
    stream.next_in = filtered + start;
    stream.avail_in = size;
    stream.next_out = packed.data();
    stream.avail_out = packed.size();
    lzma_ret result = LZMA_OK;
    while ((result = lzma_code(&stream, LZMA_FINISH)) == LZMA_OK) {
        const std::size_t used = packed.size();
        packed.resize(used * 2);
        stream.next_out = packed.data() + used;
        stream.avail_out = packed.size() - used;
    }
    packed.resize(result == LZMA_STREAM_END ? std::size_t(stream.total_out) : 0);
    lzma_end(&stream);
    return packed;
}

std::vector<std::uint8_t> joinLzmaParts(const LzmaBlockHeader& header,
                                        const std::vector<std::vector<std::uint8_t>>& parts) {
    std::vector<std::uint8_t> block(kLzmaHeaderSize);
    writeLzmaHeader(header, block.data());
    for (const std::vector<std::uint8_t>& part : parts) {
        std::uint8_t length[4];
        storeLe32(length, std::uint32_t(part.size()));
        block.insert(block.end(), length, length + 4);
        block.insert(block.end(), part.begin(), part.end());
    }
    return block;
}

std::vector<std::uint8_t> packLzma(const std::uint8_t* data, std::size_t length) {
    return packLzma(lzmaPlanFor(data, length), data, length);
}

std::vector<std::uint8_t> packLzma(LzmaBlockHeader header, const std::uint8_t* data, std::size_t length) {
    header.checksum = blockChecksum(data, length);
    std::vector<std::uint8_t> filtered(data, data + length);
    applyLzmaFilter(header.filter, filtered.data(), length, 0, true);
    std::vector<std::vector<std::uint8_t>> parts;
    for (std::size_t index = 0; index < partCount(header); ++index) {
        parts.push_back(packLzmaPart(header, filtered.data(), length, index));
        if (parts.back().empty()) return {};
    }
    return joinLzmaParts(header, parts);
}

}  // namespace brindle
