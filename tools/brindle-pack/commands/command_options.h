#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "package/block_method.h"

namespace brindle::tool {

// The options of one command: those that take a value, flags, and the
// other arguments in order.
class CommandOptions {
public:
    CommandOptions(std::string command, std::set<std::string> valued, std::set<std::string> flags)
        : command_(std::move(command)), valued_(std::move(valued)), flags_(std::move(flags)) {}

    // False, with `error` filled, for an unknown option or one without its value.
    bool parse(const std::vector<std::string>& args, std::string& error);
    bool has(const std::string& option) const { return given_.count(option) != 0; }
    std::string value(const std::string& option) const;
    // The number of threads: -j N, else all cores.
    bool threads(unsigned& count, std::string& error) const;
    // The value of `option` as a count of bytes, in decimal.
    bool byteCount(const std::string& option, std::uint64_t& count, std::string& error) const;
    // The block method: --method lz or lzma, else lzma.
    bool method(BlockMethod& method, std::string& error) const;

    std::vector<std::string> positional;

private:
    std::string command_;
    std::set<std::string> valued_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> given_;
};

}  // namespace brindle::tool
