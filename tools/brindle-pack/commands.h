// The commands of brindle-pack. Each takes the arguments after its name and
// returns the process exit code: 0 success, 1 failure, 2 wrong usage.
#pragma once

#include <string>
#include <vector>

namespace brindle::tool {

using Arguments = std::vector<std::string>;

int buildCommand(const Arguments& args);
int initCommand(const Arguments& args);
int referenceCommand(const Arguments& args);
int packCommand(const Arguments& args);
int listCommand(const Arguments& args);
int extractCommand(const Arguments& args);
int verifyCommand(const Arguments& args);
int signCommand(const Arguments& args);

// Prints "brindle-pack: <message>" on stderr and returns `code`.
int fail(const std::string& message, int code = 1);
bool wantsHelp(const Arguments& args);

}  // namespace brindle::tool
