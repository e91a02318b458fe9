// The user-visible texts, each named by its language-file group and key,
// with built-in English defaults into which the title and version go.
#pragma once

#include <array>
#include <string>

namespace brindle {

class PreferenceFile;

enum class Text {
    InstallWindow = 1, InstallMsg0, InstallMsg1, InstallMsg2, InstallMsg3, InstallMsg4, InstallMsg5, InstallMsg6,
    InstallReady, InstallHelp,
    Page01Titel, Page01Msg1, Page01Msg2, Page01Msg3, Page01CopyRight,
    Page02Titel, Page02Msg, Page02AcceptYes, Page02AcceptNo,
    Page03Titel, Page03Msg, Page03ProgDir, Page03MenuDir, Page03DesktopIcon,
    Page04Titel, Page04Msg,
    Page05Titel1, Page05Titel2, Page05Msg, Page05Install, Page05RunProg, Page05Ready,
    RequesterRQ1Titel, RequesterRQ1Msg, RequesterRQ2Titel, RequesterRQ3Titel, RequesterRQ4Titel, RequesterRQ4Msg,
    RequesterRQ4Msg2,
    FileVersionWindow, FileVersionFrameOld, FileVersionFrameNew, FileVersionMsg, FileVersionVersion,
    FileVersionLang, FileVersionDesc, FileVersionNotAvailable,
    ButtonsNext, ButtonsBack, ButtonsApply, ButtonsCancel, ButtonsChange, ButtonsInstall, ButtonsFinish, ButtonsYes,
    ButtonsNo,
    UninstallerTitel, UninstallerMsg, UninstallerUninstInfo, UninstallerDelAll, UninstallerError,
    UninstallerStatus, UninstallerOK, UninstallerCancel, UninstallerReady,
    // Beyond the classic table, so that a failure never reads as success:
    // the copy line and the status line after a failed step, and the
    // refusal of an installation folder that is no complete path.
    InstallFailed, Page05Failed, RequesterRQ5Msg,
    // The earlier version's files removed at an upgrade; the uninstaller's
    // headings of the user's files it kept and of what it left because
    // uninstall.dat was changed.
    InstallRemoveOld, UninstallerKept, UninstallerChanged,
    // A 64-bit installation started on 32-bit Windows.
    RequesterRQ6Msg,
};

inline constexpr int kTextCount = 72;

// Where a language file holds a text.
struct TextName {
    const char* group;
    const char* key;
};
TextName textName(Text text);

class LanguageTexts {
public:
    // Every text at its default, built with `title` and `version`.
    LanguageTexts(const std::string& title, const std::string& version);

    // Fills every text from the language file at `path`; a text the file
    // lacks keeps its default, a key present with an empty value is empty.
    void load(PreferenceFile& ini, const std::string& path);

    const std::string& get(Text text) const { return texts_[std::size_t(text)]; }

private:
    std::array<std::string, kTextCount + 1> texts_;  // slot 0 unused
    std::string title_;
    std::string version_;
};

}  // namespace brindle
