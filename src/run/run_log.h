// The run's log (/LOG=FILE): UTF-8 lines, each written when it comes, so
// that the log holds what a run did even when it ends abruptly.
#pragma once

#include <string>

#include "toolkit/files.h"

namespace brindle {

class RunLog {
public:
    // Creates the file, replacing one of that name.
    bool open(const std::string& path);
    // `line` is in the system's 8-bit code page; nothing happens while no
    // file is open.
    void write(const std::string& line);

    // The calling thread's last error in the system's words, with its
    // number; empty when there is none.
    static std::string systemText();

private:
    OutputFile file_;
    bool open_ = false;
};

}  // namespace brindle
