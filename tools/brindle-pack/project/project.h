#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "config/setup_settings.h"
#include "host/host_tree.h"
#include "project/file_encoding.h"
#include "project/ini_lines.h"

namespace brindle::tool {

// An install project: setup.ini and the files the installer carries at the
// top of a folder, the application's tree in app/ (or a folder of its own).
struct Project {
    std::filesystem::path root;
    std::filesystem::path application;
    std::filesystem::path settingsPath;
    bool settingsFound = false;  // and read
    std::string settingsUnread;  // why setup.ini, which is there, could not be read
    FileEncoding encoding;  // of setup.ini
    // The language files that Language names and the project carries, by
    // their package names.
    std::map<std::string, FileEncoding> languageEncodings;
    IniLines lines{""};
    SetupSettings settings;     // every pass, as the installer reads them
    std::int32_t noDelAll = 0;  // [Builder] NoDelAll
    std::vector<TreeItem> applicationItems;
    std::vector<TreeItem> carriedItems;  // the top, without the application
    std::vector<TreeProblem> treeProblems;

    // setup.ini is there and is text, so that its contents can be checked.
    bool settingsReadable() const { return settingsFound && !encoding.unreadable; }
    bool withUninstaller() const { return settings.noUninstall == 0; }
    std::string settingsName() const;
    // Where the file `name` (relative, as a setting names it) would lie
    // below the root, for messages.
    std::string pathInRoot(const std::string& name) const;
    std::string applicationName() const;
    // The file or folder of the application or of the carried files that
    // `name` (relative, "\" or "/" separated, Windows-1252) names, compared
    // as Windows compares names; nullptr when there is none.
    const TreeItem* applicationItem(const std::string& name) const;
    const TreeItem* carriedItem(const std::string& name) const;
    // The text that the package stores for a carried file instead of its
    // bytes (setup.ini or a language file in UTF-8); nullptr for the others.
    const std::string* storedText(const TreeItem& item) const;
};

struct LanguageEntry {
    std::string file;
    std::string number;  // the text after "#"
};
// The entries of the Language setting as the author wrote them: each ended by
// a bar, the last also when its bar is missing (which the installer does not
// read); a setting without a bar is one entry.
std::vector<LanguageEntry> writtenLanguageEntries(const std::string& setting);

Project loadProject(const std::filesystem::path& root, const std::filesystem::path& application,
                    const EntryTimes& times);

}  // namespace brindle::tool
