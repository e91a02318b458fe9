// The files the benchmark measures, grouped by kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CorpusFile {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

struct Corpus {
    std::vector<CorpusFile> binaries;
    std::vector<CorpusFile> text;
};

// The files named, folders searched recursively; each goes to binaries or
// text by whether its first bytes hold a zero byte.
Corpus loadCorpus(const std::vector<std::string>& paths);

// The default corpus: a fixed sample of the 32-bit Windows DLLs wine installs,
// and text from the licence and documentation folders.
Corpus loadDefaultCorpus();
