// A file written so that an earlier one is never lost to a half-written
// one: the new content goes to a fresh file beside an existing target, which
// takes the target's place only once it is whole; a missing target is
// created new under its own name and removed again unless it is completed.
// Until then the target keeps its earlier content, or stays missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "toolkit/files.h"

namespace brindle {

class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile() { discard(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the target when it is missing, else a fresh file in the
    // target's folder under a name no file has there yet.
    FileResult create(const std::string& target);
    FileResult write(const void* data, std::size_t length) { return fresh_.write(data, length); }
    FileResult setTimes(std::uint64_t created, std::uint64_t modified) { return fresh_.setTimes(created, modified); }
    // Closes the fresh file and moves it over the target (a created target
    // is simply closed). When that fails, the fresh file is removed and the
    // target stays as it was.
    FileResult replaceTarget();

private:
    void discard();

    OutputFile fresh_;
    std::string freshPath_, target_;
};

}  // namespace brindle
