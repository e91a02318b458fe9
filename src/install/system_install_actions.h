// The install step's operations carried out on this machine.
#pragma once

#include "install/install_actions.h"

namespace brindle {

// A 64-bit installation's file calls reach the native system folder (see
// useNativeFiles); the shortcuts and the digest load libraries, and stay
// with the redirection.
class SystemInstallActions final : public InstallActions {
public:
    explicit SystemInstallActions(std::uint32_t registryView) : registryView_(registryView) {}
    std::uint32_t registryView() override { return registryView_; }
    std::string folderPath(int code) override;
    void announceInstallDir(const std::string& installDir) override;
    std::string today() override;
    bool exists(const std::string& path) override;
    std::string longForm(const std::string& path) override;
    FileResult createFolderChain(const std::string& folder) override;
    FileResult createInstallFolder(const std::string& folder) override;
    bool readFile(const std::string& path, std::string& content) override;
    bool readFileStamp(const std::string& path, FileStamp& stamp) override;
    FileResult removeFile(const std::string& folder, const std::string& name) override;
    FileResult removeFolderIfEmpty(const std::string& folder, const std::string& name) override;
    std::string sha256(const std::string& bytes) override;
    bool extractPackage(const std::string& packagePath, const std::string& destination, const std::string& keepList,
                        std::vector<PackageEntry>& entries, std::vector<ExtractResult>& results) override;
    FileResult copyFile(const std::string& source, const std::string& target) override;
    bool createShortcut(const Shortcut& shortcut) override;
    bool writeRegistryStrings(std::uint32_t root, const std::string& key,
                              const std::vector<RegistryValue>& values) override;
    std::string readRegistryString(std::uint32_t root, const std::string& key, const std::string& name) override;
    bool registryKeyExists(std::uint32_t root, const std::string& key) override;
    FileResult writeUninstallData(const UninstallInputs& inputs, const LanguageTexts& texts,
                                  std::string& content) override;

private:
    const std::uint32_t registryView_;
};

}  // namespace brindle
