// The uninstaller's command line. Windows starts it without arguments (or
// with /S for a silent removal); the uninstaller starts its own copy with
// /Remove, to delete the original once that has ended, with the folders up
// to one the installation made above its own.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

struct UninstallArguments {
    bool silent = false;               // /S, in any case
    // /Remove <handle> "<path>" ["<folder>"]: the copy's work.
    bool removeOriginal = false;
    std::uintptr_t originalProcess = 0;  // an inherited handle of the original's process
    std::string originalPath;
    std::string madeAbove;  // empty: the installation folder alone
};

// `commandLine` as the platform gives it, beginning with the program's own
// path. Blanks separate arguments, double quotes group them (a "\" before a
// quote is an ordinary character: folders end in one). Unknown arguments
// are passed over; an incomplete /Remove is no /Remove.
UninstallArguments parseArguments(const std::string& commandLine);

}  // namespace brindle
