#include "config/setup_settings.h"

#include <algorithm>

#include "config/preference_file.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
// "number, 8-bit" and "16-bit" keys keep the low bits of the value read.
std::uint8_t low8(std::int32_t value) { return std::uint8_t(value); }
}  // namespace

void readStartupSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    ini.open(path);
    ini.selectGroup("Settings");
    settings.language = ini.readString("Language", "");
    settings.progExe = ini.readString("ProgExe", "");
    ini.selectGroup("Info");
    settings.titel = ini.readString("Titel", "--- unkown ---");
    settings.version = ini.readString("Version", "");
    settings.guid = ini.readString("GUID", "");
    settings.prgSize = ini.readString("PrgSize", "");
    ini.selectGroup("Task");
    settings.mutexString = ini.readString("MutexString", "");  // read without surrounding blanks
    ini.close();
}

void readWizardSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    ini.open(path);
    ini.selectGroup("Info");
    settings.web = ini.readString("Web", "");
    ini.selectGroup("Settings");
    settings.defaultDir = ini.readString("DefaultDir", "");
    settings.bitmap = ini.readString("Bitmap", "splash.tga");
    ini.selectGroup("StartMenue");
    settings.startMenuDefaultDir = ini.readString("DefaultDir", "");
    ini.selectGroup("Task");
    settings.desktop = ini.readLong("Desktop", 0);
    settings.startProg = low8(ini.readLong("StartProg", 0));
    settings.reboot = low8(ini.readLong("Reboot", 0));
    settings.noUninstall = low8(ini.readLong("NoUninstall", 0));
    settings.startMenu = low8(ini.readLong("StartMenu", 0));
    ini.close();
}

void readInstallSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    ini.open(path);
    ini.selectGroup("Info");
    settings.date = ini.readString("Date", "");
    settings.author = ini.readString("Author", "");
    settings.eMail = ini.readString("EMail", "");
    ini.selectGroup("Settings");
    settings.noCopyExt = ini.readString("NoCopyExt", "");
    settings.iconId = std::int8_t(low8(ini.readLong("IconID", 0)));
    ini.selectGroup("StartMenue");
    settings.progLink = ini.readString("ProgLink", authorLine(settings));
    ini.close();
}

void readStartMenuSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    ini.open(path);
    ini.selectGroup("StartMenue");
    settings.help = ini.readString("Help", "");
    settings.url = ini.readString("URL", "");
    settings.exe = ini.readString("Exe", "");
    settings.unistall = low8(ini.readLong("Unistall", 0));
    ini.close();
}

std::string titleLine(const SetupSettings& settings) {
    std::string line = settings.titel;
    if (!settings.version.empty()) line += "  -  Version " + settings.version;
    if (!settings.date.empty()) line += "   (" + settings.date + ")";
    return line;
}

std::string authorLine(const SetupSettings& settings) {
    std::string line = settings.author.empty() ? titleLine(settings) : "\xA9 " + settings.author;
    if (!settings.eMail.empty()) line += "   ( " + settings.eMail + " )";
    return line;
}

std::string programFolderName(const std::string& defaultDir) {
    if (std::count(defaultDir.begin(), defaultDir.end(), '%') == 2)
        return defaultDir.substr(defaultDir.find('%', defaultDir.find('%') + 1) + 1);
    if (defaultDir.find('\\') == std::string::npos) return defaultDir;
    std::string path = defaultDir;
    if (path.back() == '\\') path.pop_back();
    return path.substr(path.rfind('\\') + 1);
}

std::string programExtension(const SetupSettings& settings) { return extensionOf(settings.progExe); }

}  // namespace brindle
