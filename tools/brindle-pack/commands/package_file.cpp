#include "commands/package_file.h"

#include "package/signed_image.h"

namespace brindle::tool {

namespace {
const char* describeRead(PackageRead read) {
    switch (read) {
        case PackageRead::Read: return "package read";
        case PackageRead::NoPackage:
        case PackageRead::NothingAppended: return "no package found";
        case PackageRead::MissingBehindImage:
            return "damaged: the data behind the executable image end in no package (cut short?)";
        case PackageRead::DirectoryDamaged:
            return "damaged: the package's directory does not fit the file or does not unpack";
        case PackageRead::ImageCut:
            return "damaged: cut short, the executable image or its certificate table runs past the end";
        case PackageRead::TableMisplaced:
            return "damaged: the security directory names no certificate table behind the image";
        case PackageRead::TableUnrecognised:
            return "damaged: the certificate table holds an entry the format does not define";
        case PackageRead::DataAfterTable:
            return "damaged: data follow the certificate table, outside what the signature covers";
    }
    return "no package found";
}

// A package that begins at its first byte with a program stored raw, whole,
// certificate table included: setup.pck whose first file is a signed
// program. Read as an installer, that program's table would seem to be
// followed by data.
bool beginsWithWholeProgram(const PackageReader& package) {
    if (package.dataStart() != 0) return false;
    for (const PackageEntry& entry : package.entries()) {
        if (entry.kind != kFileEntry || entry.size <= 0) continue;
        if (entry.offset != 0 || entry.storedSize != entry.size) return false;
        const ImageLayout program = readImageLayout(package.file(), std::uint64_t(entry.size));
        return program.isImage && program.problem == ImageProblem::None;
    }
    return false;
}
}  // namespace

std::string packageReadProblem(const std::string& path, PackageRead read) {
    return read == PackageRead::Read ? std::string() : path + ": " + describeRead(read);
}

std::string readPackageFile(const std::string& path, InputFile& file, PackageReader& package) {
    if (const FileResult opened = file.open(path); !opened) return withCause(path + ": cannot be opened", opened);
    const PackageRead asInstaller = package.readDirectory(file, PackageFile::Installer);
    if (asInstaller == PackageRead::Read) return {};
    if (package.readDirectory(file, PackageFile::Package) == PackageRead::Read && beginsWithWholeProgram(package))
        return {};
    return packageReadProblem(path, asInstaller);
}

std::string stubProblem(const std::string& path) {
    InputFile file;
    if (const FileResult opened = file.open(path); !opened) return withCause(path + ": cannot be read", opened);
    const std::int64_t length = file.size();
    if (length < 0) return path + ": cannot be read";
    const ImageLayout image = readImageLayout(file, std::uint64_t(length));
    if (image.problem == ImageProblem::None && image.certificateTableSize == 0) return {};
    return path + ": the stub is signed (or its certificate table damaged); build with the unsigned stub and sign "
                  "the installer afterwards (brindle-pack sign)";
}

std::string readInstallerFile(const std::string& path, InputFile& file, PackageReader& package) {
    if (const FileResult opened = file.open(path); !opened) return withCause(path + ": cannot be opened", opened);
    return packageReadProblem(path, package.readDirectory(file, PackageFile::Installer));
}

}  // namespace brindle::tool
