// A program started by the robot and watched to its end, for a run that
// must show no window at all.
#pragma once

#include <string>

#include "deadline.h"
#include "outcome.h"

namespace robot {

// Starts `program` with `arguments` (the rest of its command line, as
// given) and looks at the top-level windows every few milliseconds until
// the process ends: "exit CODE", "memory PEAK_WORKING_SET PEAK_PAGEFILE_USAGE"
// (bytes, as the system reports them; 0 where it did not) and then one line
// per window it ever had, "window CLASS<TAB>CAPTION", hidden ones included.
// A process that outlives the deadline is ended, and the command fails.
Outcome watchProcessWindows(const std::string& program, const std::string& arguments, const Deadline& deadline);

}  // namespace robot
