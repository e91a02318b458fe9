#include "run/installed_program.h"

#include "package/entry_comparison.h"
#include "package/package_reader.h"
#include "toolkit/path_text.h"

namespace brindle {

bool InstalledProgram::hold(const std::string& installDir, const std::string& progExe,
                            const std::string& setupPackage) {
    const std::string folder = pathPartOf(progExe);
    HeldFolder::Opened failure;
    const HeldFolder* held = folders_.open(installDir) ? folders_.enter(folder, failure) : nullptr;
    InputFile packageFile;
    PackageReader package;
    return held != nullptr && file_.open(held->path() + progExe.substr(folder.size())) &&
           packageFile.open(setupPackage) &&
           package.readDirectory(packageFile, PackageFile::Package) == PackageRead::Read &&
           fileMatchesEntry(package, progExe, file_);
}

}  // namespace brindle
