#include "config/setup_settings.h"

#include <algorithm>

#include "config/preference_file.h"
#include "toolkit/path_text.h"

namespace brindle {

namespace {
using S = SetupSettings;
using T = SettingType;
using P = SettingPass;

constexpr SettingKey kKeys[] = {
    {"Settings", "Language", T::Text, "", P::Startup, &S::language},
    {"Settings", "ProgExe", T::Text, "", P::Startup, &S::progExe},
    {"Info", "Titel", T::Text, "--- unkown ---", P::Startup, &S::titel},
    {"Info", "Version", T::Text, "", P::Startup, &S::version},
    {"Info", "GUID", T::Text, "", P::Startup, &S::guid},
    {"Info", "PrgSize", T::Text, "", P::Startup, &S::prgSize},
    {"Task", "MutexString", T::Text, "", P::Startup, &S::mutexString},
    {"Settings", "Architecture", T::Text, "", P::Startup, &S::architecture},
    {"Info", "Web", T::Text, "", P::Wizard, &S::web},
    {"Settings", "DefaultDir", T::Text, "", P::Wizard, &S::defaultDir},
    {"Settings", "Bitmap", T::Text, "splash.tga", P::Wizard, &S::bitmap},
    {"StartMenue", "DefaultDir", T::Text, "", P::Wizard, &S::startMenuDefaultDir},
    {"Task", "Desktop", T::Number, "0", P::Wizard, nullptr, &S::desktop},
    {"Task", "StartProg", T::Number8, "0", P::Wizard, nullptr, &S::startProg},
    {"Task", "Reboot", T::Number8, "0", P::Wizard, nullptr, &S::reboot},
    {"Task", "NoUninstall", T::Number8, "0", P::Wizard, nullptr, &S::noUninstall},
    {"Task", "StartMenu", T::Number8, "0", P::Wizard, nullptr, &S::startMenu},
    {"Info", "Date", T::Text, "", P::Install, &S::date},
    {"Info", "Author", T::Text, "", P::Install, &S::author},
    {"Info", "EMail", T::Text, "", P::Install, &S::eMail},
    {"Settings", "NoCopyExt", T::Text, "", P::Install, &S::noCopyExt},
    {"Settings", "IconID", T::SignedNumber8, "0", P::Install, nullptr, &S::iconId},
    {"StartMenue", "ProgLink", T::Text, nullptr, P::Install, &S::progLink},  // after Author and EMail
    {"Settings", "RemoveOldFiles", T::Number8, "0", P::Install, nullptr, &S::removeOldFiles},
    {"UserTask", "Number", T::Number16, "0", P::Install},
    {"UserTask", "Task", T::Text, "", P::Install, nullptr, nullptr, true},
    {"StartMenue", "Help", T::Text, "", P::StartMenu, &S::help},
    {"StartMenue", "URL", T::Text, "", P::StartMenu, &S::url},
    {"StartMenue", "Exe", T::Text, "", P::StartMenu, &S::exe},
    {"StartMenue", "Unistall", T::Number8, "0", P::StartMenu, nullptr, &S::unistall},
};

void readPass(PreferenceFile& ini, const std::string& path, SetupSettings& settings, SettingPass pass) {
    ini.open(path);
    readSettings(ini, settings, pass);
    ini.close();
}
}  // namespace

void readSettings(PreferenceFile& ini, SetupSettings& settings, SettingPass pass) {
    for (const SettingKey& key : kKeys) {
        if (key.pass != pass || (!key.text && !key.number)) continue;
        ini.selectGroup(key.group);
        if (key.text)
            settings.*key.text = ini.readString(key.key, key.fallback ? key.fallback : authorLine(settings));
        else
            settings.*key.number = narrowSetting(key.type, ini.readLong(key.key, 0));
    }
}

std::span<const SettingKey> settingKeys() { return kKeys; }

std::int32_t narrowSetting(SettingType type, std::int32_t value) {
    switch (type) {
        case SettingType::Number8: return std::uint8_t(value);
        case SettingType::SignedNumber8: return std::int8_t(std::uint8_t(value));
        case SettingType::Number16: return std::int16_t(std::uint16_t(value));
        default: return value;
    }
}

void readStartupSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    readPass(ini, path, settings, SettingPass::Startup);
}

void readWizardSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    readPass(ini, path, settings, SettingPass::Wizard);
}

void readInstallSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    readPass(ini, path, settings, SettingPass::Install);
}

void readStartMenuSettings(PreferenceFile& ini, const std::string& path, SetupSettings& settings) {
    readPass(ini, path, settings, SettingPass::StartMenu);
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
