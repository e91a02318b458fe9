// The values of setup.ini, read in the passes of the run: A and B at
// start-up, C (and C' when start-menu shortcuts are made) in the install
// step. Each field keeps its default until its pass has run.
#pragma once

#include <cstdint>
#include <span>
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
    std::string architecture;  // empty, "x86" or "x64" (see Architecture)
    // Pass B
    std::string web;
    std::string defaultDir;
    std::string bitmap = "splash.tga";
    std::string startMenuDefaultDir;  // StartMenue/DefaultDir
    std::int32_t desktop = 0;
    std::int32_t startProg = 0;  // the number fields hold the value as wide as its key's type
    std::int32_t reboot = 0;
    std::int32_t noUninstall = 0;
    std::int32_t startMenu = 0;
    // Pass C
    std::string date;
    std::string author;
    std::string eMail;
    std::string noCopyExt;
    std::int32_t iconId = 0;
    std::string progLink;  // absent: the author line
    std::int32_t removeOldFiles = 0;
    // Pass C', only with start-menu shortcuts
    std::string help;
    std::string url;
    std::string exe;
    std::int32_t unistall = 0;
};

enum class SettingType {
    Text,
    Number,         // 32 bits, signed
    Number8,        // the low 8 bits count
    SignedNumber8,  // the low 8 bits count, as a signed number
    Number16,       // the low 16 bits count, as a signed number
};
enum class SettingPass { Startup, Wizard, Install, StartMenu };  // A, B, C, C'

// One key of setup.ini as the installer reads it: a text key with
// readString and its default, a number key with readLong and 0.
struct SettingKey {
    const char* group;
    const char* key;  // "Task" with `numbered`: Task1, Task2, ...
    SettingType type;
    const char* fallback;  // the default as text; nullptr: the author line (ProgLink)
    SettingPass pass;
    std::string SetupSettings::*text = nullptr;     // where the value goes; both null:
    std::int32_t SetupSettings::*number = nullptr;  // the user tasks read the key themselves
    bool numbered = false;
};

// Every key the installer reads from setup.ini, in the order of its reads.
std::span<const SettingKey> settingKeys();

// The value of a number key as its type holds it.
std::int32_t narrowSetting(SettingType type, std::int32_t value);

// The keys of one pass, from the file open in `ini`.
void readSettings(PreferenceFile& ini, SetupSettings& settings, SettingPass pass);
// Each pass opens the file at `path`, reads its keys and closes it again.
void readStartupSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);    // A
void readWizardSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);     // B
void readInstallSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings);    // C
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
