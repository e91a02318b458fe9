// The install step's view in an unattended run: no window; the folders and
// the desktop icon are the wizard's start values, and an existing file that
// a copy would replace is answered without a person, the newer file kept.
#pragma once

#include "install/install_view.h"

namespace brindle {

class RunLog;

struct StartChoices {
    std::string installFolder;
    std::string startMenuFolder;
    bool desktopIcon = false;
};

class UnattendedView final : public InstallView {
public:
    // `isNewer(a, b)`: whether file a is newer than file b.
    using NewerTest = bool (*)(const std::string&, const std::string&);
    UnattendedView(const StartChoices& choices, NewerTest isNewer, RunLog& log)
        : choices_(choices), isNewer_(isNewer), log_(log) {}

    std::string installFolder() const override { return choices_.installFolder; }
    std::string startMenuFolder() const override { return choices_.startMenuFolder; }
    bool desktopIconWanted() const override { return choices_.desktopIcon; }
    void showProgress(const std::string&) override {}
    int addLine(const std::string&) override { return 0; }
    void replaceLine(int, const std::string&) override {}
    bool confirmReplace(const std::string& newFile, const std::string& currentFile) override;
    void showFinished(const std::string&, const std::string&) override {}
    void noteFile(const std::string&, const ExtractResult&) override {}
    void noteFailure(const std::string&, FileResult) override {}

private:
    StartChoices choices_;
    NewerTest isNewer_;
    RunLog& log_;
};

}  // namespace brindle
