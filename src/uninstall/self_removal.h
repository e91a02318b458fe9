// The last step: uninstall.dat, the uninstaller and the installation folder
// (with the empty folders above it that the installation made) go once the
// uninstaller has ended, which a running program cannot do to itself. It
// leaves a copy of itself in a fresh private temporary folder to do it; that
// folder goes at the next restart.
#pragma once

#include <string>

namespace brindle {

class InputFile;
struct ProtectedFolders;
struct UninstallArguments;

// Starts the copy, made from `ownImage` (the uninstaller's own file, opened
// at its start), which waits for this process to end; `madeAbove` is the
// topmost folder it may remove above the installation folder, or empty.
// Where no copy can be started, uninstall.dat goes at once and the rest at
// the next restart.
void leaveRemovalToCopy(InputFile& ownImage, const std::string& ownPath, const std::string& madeAbove);

// The copy's work, `arguments` naming the original.
void removeOriginal(const UninstallArguments& arguments, const ProtectedFolders& protectedFolders);

}  // namespace brindle
