#include "install/system_install_actions.h"

#include <windows.h>

#include "config/preference_file.h"
#include "config/system_folders.h"
#include "install/shortcuts.h"
#include "install/uninstall_data.h"
#include "package/package_reader.h"
#include "toolkit/digest.h"
#include "toolkit/file_paths.h"
#include "toolkit/file_tree.h"
#include "toolkit/files.h"
#include "toolkit/number_text.h"
#include "toolkit/protected_folder.h"
#include "toolkit/system_paths.h"
#include "toolkit/windows_platform.h"

namespace brindle {

std::string SystemInstallActions::folderPath(int code) { return brindle::folderPath(code, registryView_); }

void SystemInstallActions::announceInstallDir(const std::string& installDir) {
    SetEnvironmentVariableA("InstallDir", installDir.c_str());
}

std::string SystemInstallActions::today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return paddedNumber(now.wYear, 4) + paddedNumber(now.wMonth, 2) + paddedNumber(now.wDay, 2);
}

bool SystemInstallActions::exists(const std::string& path) {
    NativeFileScope native;
    return fileExists(path);
}

std::string SystemInstallActions::longForm(const std::string& path) {
    NativeFileScope native;
    return fileExists(path) ? longPathOf(path) : std::string();
}

bool SystemInstallActions::readFile(const std::string& path, std::string& content) {
    NativeFileScope native;
    return readWholeFile(path, content);
}

bool SystemInstallActions::readFileStamp(const std::string& path, FileStamp& stamp) {
    NativeFileScope native;
    return brindle::readFileStamp(path, stamp);
}

FileResult SystemInstallActions::removeFile(const std::string& folder, const std::string& name) {
    NativeFileScope native;
    return removeFileAt(folder + name, folder.size());
}

FileResult SystemInstallActions::removeFolderIfEmpty(const std::string& folder, const std::string& name) {
    NativeFileScope native;
    return brindle::removeFolderIfEmpty(folder + name, folder.size());
}

std::string SystemInstallActions::sha256(const std::string& bytes) { return sha256Text(bytes); }

FileResult SystemInstallActions::createFolderChain(const std::string& folder) {
    NativeFileScope native;
    return brindle::createFolderChain(folder);
}

FileResult SystemInstallActions::createInstallFolder(const std::string& folder) {
    return createProtectedFolderChain(folder);
}

bool SystemInstallActions::extractPackage(const std::string& packagePath, const std::string& destination,
                                          const std::string& keepList, std::vector<PackageEntry>& entries,
                                          std::vector<ExtractResult>& results) {
    InputFile file;
    PackageReader package;
    NativeFileScope native;
    if (!file.open(packagePath) || package.readDirectory(file, PackageFile::Package) != PackageRead::Read) return false;
    entries = package.entries();
    results = extractAll(package, destination, keepList);
    return true;
}

FileResult SystemInstallActions::copyFile(const std::string& source, const std::string& target) {
    NativeFileScope native;
    return CopyFileA(source.c_str(), target.c_str(), FALSE) ? FileResult() : FileResult::lastError();
}

bool SystemInstallActions::createShortcut(const Shortcut& shortcut) { return brindle::createShortcut(shortcut); }

bool SystemInstallActions::writeRegistryStrings(std::uint32_t root, const std::string& key,
                                                const std::vector<RegistryValue>& values) {
    return brindle::writeRegistryStrings(root, key, values);
}

std::string SystemInstallActions::readRegistryString(std::uint32_t root, const std::string& key,
                                                     const std::string& name) {
    return brindle::readRegistryString(root, key, name);
}

bool SystemInstallActions::registryKeyExists(std::uint32_t root, const std::string& key) {
    return brindle::registryKeyExists(root, key);
}

FileResult SystemInstallActions::writeUninstallData(const UninstallInputs& inputs, const LanguageTexts& texts,
                                                    std::string& content) {
    PreferenceFile file;
    NativeFileScope native;
    return brindle::writeUninstallData(file, inputs, texts, content);
}

}  // namespace brindle
