// The program the run starts at its end, InstallDir + ProgExe. Where
// ordinary users may write into the installation folder, that file could
// have been replaced since the install step wrote it; it is started only
// when it still is the file of setup.pck, and is held from that check until
// it has been started, so that nobody can change, replace or move it (or a
// folder on its way) in between.
#pragma once

#include <string>

#include "toolkit/files.h"
#include "toolkit/folder_walk.h"

namespace brindle {

class InstalledProgram {
public:
    // True when `installDir` + `progExe` is reached without a link below
    // `installDir` and holds exactly the entry of that name in the package
    // `setupPackage`; the file and its folders are then held until this
    // object goes.
    bool hold(const std::string& installDir, const std::string& progExe, const std::string& setupPackage);

private:
    FolderWalk folders_;
    InputFile file_;
};

}  // namespace brindle
