// The install step's operations on the system, each saying whether it
// succeeded: the platform's in the runtime, fakes in the unit tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/shortcut_plan.h"
#include "package/extraction.h"
#include "toolkit/files.h"
#include "toolkit/registry.h"

namespace brindle {

class LanguageTexts;
struct UninstallInputs;

class InstallActions {
public:
    virtual ~InstallActions() = default;
    // Added to the roots of the uninstall entry, the remembered choices and
    // the registry tasks: the registry view of the installation.
    virtual std::uint32_t registryView() = 0;
    // The system folder for a folder code, ending in "\"; empty when none.
    virtual std::string folderPath(int code) = 0;
    // Publishes the installation folder to the programs the step starts.
    virtual void announceInstallDir(const std::string& installDir) = 0;
    // Today's local date as yyyymmdd.
    virtual std::string today() = 0;
    virtual bool exists(const std::string& path) = 0;
    // The long form of an existing path; empty when it does not exist.
    virtual std::string longForm(const std::string& path) = 0;
    virtual FileResult createFolderChain(const std::string& folder) = 0;
    // Makes the installation folder and what is missing above it; an
    // elevated run protects a new one that ordinary users could change.
    virtual FileResult createInstallFolder(const std::string& folder) = 0;
    virtual bool readFile(const std::string& path, std::string& content) = 0;
    virtual bool readFileStamp(const std::string& path, FileStamp& stamp) = 0;
    // Removes `name` (relative) below `folder`, never through a link;
    // succeeds when it is gone. The folder form leaves one that holds anything.
    virtual FileResult removeFile(const std::string& folder, const std::string& name) = 0;
    virtual FileResult removeFolderIfEmpty(const std::string& folder, const std::string& name) = 0;
    // 64 hexadecimal digits; empty when the platform cannot tell.
    virtual std::string sha256(const std::string& bytes) = 0;
    // Extracts the package at `packagePath` into `destination`, giving its
    // entries and what became of each; false when the package cannot be
    // read (then both lists are empty).
    virtual bool extractPackage(const std::string& packagePath, const std::string& destination,
                                const std::string& keepList, std::vector<PackageEntry>& entries,
                                std::vector<ExtractResult>& results) = 0;
    virtual FileResult copyFile(const std::string& source, const std::string& target) = 0;
    virtual bool createShortcut(const Shortcut& shortcut) = 0;
    virtual bool writeRegistryStrings(std::uint32_t root, const std::string& key,
                                      const std::vector<RegistryValue>& values) = 0;
    virtual std::string readRegistryString(std::uint32_t root, const std::string& key, const std::string& name) = 0;
    virtual bool registryKeyExists(std::uint32_t root, const std::string& key) = 0;
    // `content` receives the bytes written.
    virtual FileResult writeUninstallData(const UninstallInputs& inputs, const LanguageTexts& texts,
                                          std::string& content) = 0;
};

}  // namespace brindle
