// brindle-bench [file or folder...]: packs each file into one block and
// compares with zlib at level 9, per kind of file and in total: sizes, our
// unpack speed against inflate (both built with the decoder's flags) with
// both widths of the bit reader, and our pack speed; then the same for the
// LZMA method against liblzma's decoder (built with the same flags).
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "bench_corpus.h"
#include "package/lzma_decoder.h"
#include "package/lzma_pack.h"
#include "package/pack.h"
#include "package/packed_block.h"
#include "package/unpack.h"

namespace {

// Times are this thread's processor time, which other work on a shared
// machine disturbs far less than the wall clock.
struct Clock {
    using time_point = double;
    static double now() {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
    }
};

// A round runs each decoder in turn over the whole corpus, twice (so that
// each finds its own packed data in the caches once, as the one before it
// left them for itself), the first turn moving on by one decoder each round.
// Each pass is timed per window of consecutive files of one kind (at least
// kWindowBytes of output, well under a millisecond), and a window counts with
// its fastest pass: on this shared machine a disturbance spoils a short window
// now and then, where it spoiled nearly every round of 100 ms. Whole passes
// keep the corpus's order, so no decoder meets a window again before the rest
// of the corpus has run (its branches are not learnt by heart).
constexpr int kDecodeRounds = 15;
constexpr int kPassesPerRound = 2;
constexpr std::size_t kWindowBytes = 64 * 1024;

double secondsSince(Clock::time_point start) { return Clock::now() - start; }

struct Encoded {
    std::vector<std::uint8_t> ours;
    std::vector<std::uint8_t> zlib;
    std::vector<std::uint8_t> lzma;
};

struct Figures {
    std::size_t files = 0;
    std::size_t input = 0;
    std::size_t ours = 0;
    std::size_t zlib = 0;
    double packSeconds = 0;
    double unpackMBs = 0;
    double unpack32MBs = 0;  // the 32-bit bit reader
    double inflateMBs = 0;
    std::size_t lzma = 0;
    double lzmaMBs = 0;
    double liblzmaMBs = 0;
    std::size_t failures = 0;
};

// liblzma's decoding of one of our LZMA blocks of one part: the raw stream
// of known size, then our filter's reverse (its own x86 filter differs).
std::size_t liblzmaDecode(const std::vector<std::uint8_t>& block, std::vector<std::uint8_t>& output) {
    brindle::LzmaBlockHeader header;
    if (!brindle::readLzmaHeader(block.data(), block.size(), header) || header.size > header.partLength) return 0;
    lzma_options_lzma options{};
    options.dict_size = header.dictionarySize;
    options.lc = header.literalContextBits;
    options.lp = header.literalPositionBits;
    options.pb = header.positionBits;
    options.ext_size_low = header.size;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::size_t in = brindle::kLzmaHeaderSize + 4, out = 0;
    if (header.size == 0 || lzma_raw_buffer_decode(filters, nullptr, block.data(), &in, block.size(), output.data(),
                                                   &out, output.size()) != LZMA_OK)
        return 0;
    brindle::applyLzmaFilter(header.filter, output.data(), out, 0, false);
    return out;
}

std::vector<std::uint8_t> deflate9(const std::vector<std::uint8_t>& input) {
    uLongf size = compressBound(uLong(input.size()));
    std::vector<std::uint8_t> out(size);
    compress2(out.data(), &size, input.data(), uLong(input.size()), 9);
    out.resize(size);
    return out;
}

// Output megabytes per second of each decoder over each kind's files,
// speeds[kind][decoder]; kind k's files end at kindEnds[k], and a decoder
// decodes file i. A pass covers every kind, so that a kind's windows are
// timed over the whole measurement, not over a few seconds of it that other
// work on the machine may slow throughout.
std::vector<std::vector<double>> decodeSpeeds(const std::vector<const CorpusFile*>& files,
                                              const std::vector<std::size_t>& kindEnds,
                                              const std::vector<std::function<void(std::size_t)>>& decoders) {
    std::vector<std::size_t> windowEnds, windowKinds;
    for (std::size_t i = 0, bytes = 0, kind = 0; i < files.size(); ++i) {
        while (i >= kindEnds[kind]) ++kind;
        bytes += files[i]->bytes.size();
        if (bytes >= kWindowBytes || i + 1 == kindEnds[kind]) {
            windowEnds.push_back(i + 1);
            windowKinds.push_back(kind);
            bytes = 0;
        }
    }
    const std::size_t windows = windowEnds.size();
    std::vector<double> fastest(decoders.size() * windows, std::numeric_limits<double>::infinity());
    for (int round = 0; round < kDecodeRounds; ++round) {
        for (std::size_t turn = 0; turn < decoders.size(); ++turn) {
            const std::size_t d = (round + turn) % decoders.size();
            for (int pass = 0; pass < kPassesPerRound; ++pass) {
                for (std::size_t w = 0, first = 0; w < windows; first = windowEnds[w++]) {
                    const Clock::time_point start = Clock::now();
                    for (std::size_t i = first; i < windowEnds[w]; ++i) decoders[d](i);
                    double& best = fastest[d * windows + w];
                    best = std::min(best, secondsSince(start));
                }
            }
        }
    }
    std::vector<std::vector<double>> speeds(kindEnds.size(), std::vector<double>(decoders.size()));
    for (std::size_t d = 0; d < decoders.size(); ++d) {
        std::vector<double> seconds(kindEnds.size()), bytes(kindEnds.size());
        for (std::size_t w = 0, first = 0; w < windows; first = windowEnds[w++]) {
            seconds[windowKinds[w]] += fastest[d * windows + w];
            for (std::size_t i = first; i < windowEnds[w]; ++i) bytes[windowKinds[w]] += files[i]->bytes.size();
        }
        for (std::size_t k = 0; k < kindEnds.size(); ++k) {
            speeds[k][d] = seconds[k] > 0 ? bytes[k] / seconds[k] / 1e6 : 0;
        }
    }
    return speeds;
}

// Packs each file every way, checks each decoder's round trip, and counts.
Figures packAll(const std::vector<CorpusFile>& files, std::vector<Encoded>& encoded,
                std::vector<std::uint8_t>& output) {
    Figures figures;
    for (const CorpusFile& file : files) {
        const std::vector<std::uint8_t>& input = file.bytes;
        Encoded packed;
        const Clock::time_point start = Clock::now();
        packed.ours = brindle::pack(input.data(), input.size());
        figures.packSeconds += secondsSince(start);
        packed.zlib = deflate9(input);
        packed.lzma = brindle::packLzma(input.data(), input.size());
        figures.lzma += packed.lzma.size();
        figures.files++;
        figures.input += input.size();
        figures.ours += packed.ours.size();
        figures.zlib += packed.zlib.size();
        if (output.size() < input.size()) output.resize(input.size());

        std::uint32_t size = 0;
        const auto matches = [&] { return std::equal(input.begin(), input.end(), output.begin()); };
        bool same = brindle::unpack(packed.ours.data(), packed.ours.size(), output.data(), output.size(), size) &&
                    size == input.size() && matches();
        same = same && brindle::unpackLzma(packed.lzma.data(), packed.lzma.size(), output.data(), output.size(),
                                           size) && matches();
        same = same && liblzmaDecode(packed.lzma, output) == input.size() && matches();
        if (!same) {
            std::printf("round trip failed: %s\n", file.path.c_str());
            figures.failures++;
        }
        encoded.push_back(std::move(packed));
    }
    return figures;
}

// The figures of each kind: programs, then text.
std::vector<Figures> measure(const Corpus& corpus) {
    std::vector<Encoded> encoded;
    std::vector<std::uint8_t> output;
    std::vector<Figures> figures = {packAll(corpus.binaries, encoded, output), packAll(corpus.text, encoded, output)};
    std::vector<const CorpusFile*> files;
    for (const auto* kind : {&corpus.binaries, &corpus.text}) {
        for (const CorpusFile& file : *kind) files.push_back(&file);
    }
    if (files.empty()) return figures;

    const auto unpackOurs = [&](std::size_t i) {
        const std::vector<std::uint8_t>& ours = encoded[i].ours;
        std::uint32_t size = 0;
        brindle::unpack(ours.data(), ours.size(), output.data(), output.size(), size);
    };
    const auto unpackOurs32 = [&](std::size_t i) {
        const std::vector<std::uint8_t>& ours = encoded[i].ours;
        std::uint32_t size = 0;
        brindle::unpackWithBuffer<std::uint32_t>(ours.data(), ours.size(), output.data(), output.size(), size);
    };
    const auto unpackLzma = [&](std::size_t i) {
        std::uint32_t size = 0;
        brindle::unpackLzma(encoded[i].lzma.data(), encoded[i].lzma.size(), output.data(), output.size(), size);
    };
    const auto decodeLiblzma = [&](std::size_t i) { liblzmaDecode(encoded[i].lzma, output); };
    const auto inflateZlib = [&](std::size_t i) {
        uLongf size = uLongf(output.size());
        uncompress(output.data(), &size, encoded[i].zlib.data(), uLong(encoded[i].zlib.size()));
    };
    const std::vector<std::vector<double>> speeds =
        decodeSpeeds(files, {corpus.binaries.size(), files.size()},
                     {unpackOurs, unpackOurs32, inflateZlib, unpackLzma, decodeLiblzma});
    for (std::size_t k = 0; k < figures.size(); ++k) {
        figures[k].unpackMBs = speeds[k][0];
        figures[k].unpack32MBs = speeds[k][1];
        figures[k].inflateMBs = speeds[k][2];
        figures[k].lzmaMBs = speeds[k][3];
        figures[k].liblzmaMBs = speeds[k][4];
    }
    return figures;
}

Figures combine(const Figures& a, const Figures& b) {
    Figures sum;
    sum.files = a.files + b.files;
    sum.input = a.input + b.input;
    sum.ours = a.ours + b.ours;
    sum.zlib = a.zlib + b.zlib;
    sum.lzma = a.lzma + b.lzma;
    sum.packSeconds = a.packSeconds + b.packSeconds;
    sum.failures = a.failures + b.failures;
    // Speeds combine as total bytes over total time.
    auto harmonic = [&](double sa, double sb) {
        const double seconds = (sa > 0 ? a.input / sa : 0) + (sb > 0 ? b.input / sb : 0);
        return seconds > 0 ? sum.input / seconds : 0;
    };
    sum.unpackMBs = harmonic(a.unpackMBs, b.unpackMBs);
    sum.unpack32MBs = harmonic(a.unpack32MBs, b.unpack32MBs);
    sum.inflateMBs = harmonic(a.inflateMBs, b.inflateMBs);
    sum.lzmaMBs = harmonic(a.lzmaMBs, b.lzmaMBs);
    sum.liblzmaMBs = harmonic(a.liblzmaMBs, b.liblzmaMBs);
    return sum;
}

// Every row names the build that measured it.
constexpr const char* kBuild = BRINDLE_BENCH_TARGET;

void print(const char* name, const Figures& f) {
    if (f.files == 0) return;
    std::printf("%-7s %-9s %5zu %12zu %12zu %7.2f%% %12zu %7.2f%% %9.1f %9.1f %9.1f %7.2fx %7.2fx %8.2f\n", kBuild,
                name, f.files, f.input, f.ours, 100.0 * f.ours / f.input, f.zlib, 100.0 * f.zlib / f.input, f.unpackMBs,
                f.unpack32MBs, f.inflateMBs, f.unpackMBs / f.inflateMBs, f.unpack32MBs / f.inflateMBs,
                f.input / f.packSeconds / 1e6);
}

void printLzma(const char* name, const Figures& f) {
    if (f.files == 0) return;
    std::printf("%-7s %-9s %12zu %7.2f%% %9.1f %9.1f %9.1f %7.2fx %7.2fx\n", kBuild, name, f.lzma,
                100.0 * f.lzma / f.input, f.lzmaMBs, f.liblzmaMBs, f.inflateMBs, f.lzmaMBs / f.liblzmaMBs,
                f.lzmaMBs / f.inflateMBs);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> paths(argv + 1, argv + argc);
    const Corpus corpus = paths.empty() ? loadDefaultCorpus() : loadCorpus(paths);
    const std::vector<Figures> kinds = measure(corpus);
    const Figures& binaries = kinds[0];
    const Figures& text = kinds[1];
    std::printf("%s build, not position-independent, as the runtime; its -Os, decoders %s: ours, zlib %s's inflate "
                "and liblzma %s's decoder, both built from source\n",
                kBuild, BRINDLE_DECODER_FLAGS, zlibVersion(), lzma_version_string());
    std::printf("%-7s %-9s %5s %12s %12s %8s %12s %8s %9s %9s %9s %8s %8s %8s\n", "build", "kind", "files", "input",
                "packed", "ratio", "zlib-9", "ratio", "unpack", "unpack32", "inflate", "ours/", "ours32/", "pack");
    std::printf("%-7s %-9s %5s %12s %12s %8s %12s %8s %9s %9s %9s %8s %8s %8s\n", "", "", "", "bytes", "bytes", "",
                "bytes", "", "MB/s", "MB/s", "MB/s", "zlib", "zlib", "MB/s");
    print("binaries", binaries);
    print("text", text);
    const Figures total = combine(binaries, text);
    print("total", total);
    std::printf("\nLZMA method (x86 filter, liblzma's encoder), our decoder against liblzma's and inflate:\n");
    std::printf("%-7s %-9s %12s %8s %9s %9s %9s %8s %8s\n", "build", "kind", "packed", "ratio", "ours", "liblzma",
                "inflate", "ours/", "ours/");
    std::printf("%-7s %-9s %12s %8s %9s %9s %9s %8s %8s\n", "", "", "bytes", "", "MB/s", "MB/s", "MB/s", "liblzma",
                "zlib");
    printLzma("binaries", binaries);
    printLzma("text", text);
    printLzma("total", total);
    if (total.failures != 0) std::printf("%zu files did not round-trip\n", total.failures);
    return 0;
}
