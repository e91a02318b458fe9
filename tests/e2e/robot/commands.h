// The robot's commands. Each waits for its window (and control) to exist,
// up to the deadline, then does its one thing; operands come as given on
// the command line.
#pragma once

#include <string>
#include <vector>

#include "deadline.h"
#include "outcome.h"

namespace robot {

using Operands = std::vector<std::string>;

struct Command {
    const char* name;
    const char* operands;  // their names, one word each, for the usage line
    Outcome (*run)(const Operands& operands, const Deadline& deadline);
};

const std::vector<Command>& commands();

}  // namespace robot
