// The numbers of the installer's windows and of the wizard's controls; they
// are the Win32 control ids, so events, tests and tools address them alike.
#pragma once

namespace brindle {

enum WindowNumber : int { kWizardWindow = 1, kStartMenuWindow = 2, kLanguageWindow = 3, kVersionWindow = 4 };

enum ControlId : int {
    kHeaderBand = 1, kHeaderMessage = 2, kHeaderIcon = 3, kWebLink = 4, kBackButton = 5, kNextButton = 6,
    kCancelButton = 7, kInstallButton = 8, kFinishButton = 9, kReadmePage = 10, kReadmeEditor = 11,
    kLicencePage = 12, kLicenceEditor = 13, kAcceptOption = 14, kDeclineOption = 15, kSettingsPage = 16,
    kHeaderTitle = 17, kFolderLabel = 18, kFolderField = 19, kFolderButton = 20, kStartMenuLabel = 21,
    kStartMenuField = 22, kStartMenuButton = 23, kDesktopCheck = 24, kWelcomePage = 25, kWelcomeTitle = 26,
    kWelcomeText = 27, kWelcomeFoot = 28, kSidePicture = 29, kInstallPage = 30, kInstallTitle = 31,
    kInstallMessage = 32, kStatusLine = 33, kProgressList = 34, kStartProgramCheck = 35,
    kStartMenuTree = 36, kApplyButton = 37, kLanguageList = 38, kLanguageOk = 39,
    kCurrentFileFrame = 40, kCurrentVersionLabel = 41, kCurrentLanguageLabel = 42, kCurrentDescriptionLabel = 43,
    kCurrentVersion = 44, kCurrentLanguage = 45, kCurrentDescription = 46, kReplaceQuestion = 47, kNewFileFrame = 48,
    kNewVersionLabel = 49, kNewLanguageLabel = 50, kNewDescriptionLabel = 51, kNewVersion = 52, kNewLanguage = 53,
    kNewDescription = 54, kYesButton = 55, kNoButton = 56,
    kSeparator = 65,  // after the uninstaller's numbers
};

}  // namespace brindle
