// The installer's command line. Without arguments it is the wizard; the
// switches let an administrator run it unattended. Switch names are
// matched without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

struct SetupArguments {
    bool silent = false;   // /S: no window, the wizard's start values
    bool noIcons = false;  // /NOICONS: no desktop icon, no start-menu folder
    bool force = false;    // /FORCE: go on while the application runs
    bool help = false;     // /? or /HELP
    std::uint16_t language = 0;  // /LANG=N: the primary language N; 0 for none
    std::string installDir;      // /D=FOLDER, as given
    std::string logFile;         // /LOG=FILE
    std::vector<std::string> wrong;  // each argument that is no switch, or a switch without its value

    bool usable() const { return wrong.empty(); }
};

// `arguments`: the command line after the program's name. /D= takes the
// rest of the line, blanks, quotes and slashes included (only blanks at its
// end are dropped), so it comes last; every other switch is one word, in
// which double quotes group blanks.
SetupArguments parseSetupArguments(const std::string& arguments);

}  // namespace brindle
