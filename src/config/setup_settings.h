// The values of setup.ini, read in the passes of the run: A and B at
// start-up, C (and C' when start-menu shortcuts are made) in the install
// step. Each field keeps its default until its pass has run.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

class PreferenceFile;

struct SetupSettings {
    // Pass A
    std::string language;
    std::string progExe;
    std::string titel = "--- unkown ---";
    std::string version;
    std::string guid;
    std::string prgSize;
    std::string mutexString;  // blanks removed at both ends
    // Pass B
    std::string web;
    std::string defaultDir;
    std::string bitmap = "splash.tga";
    std::string startMenuDefaultDir;  // StartMenue/DefaultDir
    std::int32_t desktop = 0;
    std::uint8_t startProg = 0;
    std::uint8_t reboot = 0;
    std::uint8_t noUninstall = 0;
    std::uint8_t startMenu = 0;
    // Pass C
    std::string date;
    std::string author;
    std::string eMail;
    std::string noCopyExt;
    std::int8_t iconId = 0;
    std::string progLink;  // absent: the author line
    // Pass C', only with start-menu shortcuts
    std::string help;
    std::string url;
    std::string exe;
    std::uint8_t unistall = 0;
};

void readStartupSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);  // A
void readWizardSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);   // B
void readInstallSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);  // C
void readStartMenuSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);  // C'

// The title line of the progress list: the title, "  -  Version " and the
// version when there is one, "   (" date ")" when there is a date.
std::string titleLine(const SetupSettings& settings);
// The author line: "© " + author (else the title line), then "   ( " e-mail
// " )" when there is an e-mail address. Also the default shortcut name.
std::string authorLine(const SetupSettings& settings);

// The name appended to folders the user picks: from DefaultDir as written,
// the text after a second "%", else its last folder name, else all of it.
std::string programFolderName(const std::string& defaultDir);

// The extension of ProgExe (compared with "exe" exactly).
std::string programExtension(const SetupSettings& settings);

}  // namespace brindle
