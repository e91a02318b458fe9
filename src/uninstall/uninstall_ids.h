// The uninstaller's window and control numbers: the Win32 control ids, by
// which tests address them. They follow the installer's, so that no number
// means two things.
#pragma once

namespace brindle {

enum UninstallWindowNumber : int { kUninstallWindow = 5 };

enum UninstallControlId : int {
    kQuestionText = 57, kInfoText = 58, kProgramText = 59, kDeleteAllCheck = 60, kUninstallStatus = 61,
    kLeftoverList = 62, kUninstallOk = 63, kUninstallCancel = 64,
};

}  // namespace brindle
