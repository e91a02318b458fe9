#include "commands/command_options.h"

#include <algorithm>
#include <thread>

namespace brindle::tool {

namespace {
constexpr unsigned long kMostThreads = 256;
}  // namespace

bool CommandOptions::parse(const std::vector<std::string>& args, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (valued_.count(arg) && i + 1 < args.size()) {
            given_[arg] = args[++i];
        } else if (flags_.count(arg)) {
            given_[arg] = "";
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = command_ + ": unknown or incomplete option '" + arg + "' (try --help)";
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    return true;
}

std::string CommandOptions::value(const std::string& option) const {
    const auto found = given_.find(option);
    return found == given_.end() ? std::string() : found->second;
}

bool CommandOptions::threads(unsigned& count, std::string& error) const {
    if (!has("-j")) {
        count = std::max(1u, std::thread::hardware_concurrency());
        return true;
    }
    const std::string text = value("-j");
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(text) == 0 || std::stoul(text) > kMostThreads) {
        error = command_ + ": -j takes a number of threads from 1 to " + std::to_string(kMostThreads);
        return false;
    }
    count = unsigned(std::stoul(text));
    return true;
}

bool CommandOptions::byteCount(const std::string& option, std::uint64_t& count, std::string& error) const {
    const std::string text = value(option);
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos) {
        error = command_ + ": " + option + " takes a number of bytes";
        return false;
    }
    count = std::stoull(text);
    return true;
}

bool CommandOptions::method(BlockMethod& method, std::string& error) const {
    const std::string name = has("--method") ? value("--method") : "lzma";
    for (BlockMethod known : {BlockMethod::Lz, BlockMethod::Lzma}) {
        if (name == blockMethodName(known)) {
            method = known;
            return true;
        }
    }
    error = command_ + ": --method takes lz or lzma";
    return false;
}

}  // namespace brindle::tool
