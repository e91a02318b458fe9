// The install step's view with the run's log behind it: whatever the view
// shows (or, unattended, would show) goes into the log too, with the
// settings used, every file written or not, and every failure.
#pragma once

#include "install/install_view.h"

namespace brindle {

class RunLog;

class LoggedView final : public InstallView {
public:
    // `startMenu`: whether the step makes start-menu links at all.
    LoggedView(InstallView& view, RunLog& log, bool startMenu) : view_(view), log_(log), startMenu_(startMenu) {}

    std::string installFolder() const override { return view_.installFolder(); }
    std::string startMenuFolder() const override { return view_.startMenuFolder(); }
    bool desktopIconWanted() const override { return view_.desktopIconWanted(); }
    void showProgress(const std::string& status) override;
    int addLine(const std::string& line) override;
    void replaceLine(int index, const std::string& line) override;
    bool confirmReplace(const std::string& newFile, const std::string& currentFile) override {
        return view_.confirmReplace(newFile, currentFile);
    }
    void showFinished(const std::string& title, const std::string& status) override;
    void noteFile(const std::string& path, const ExtractResult& result) override;
    void noteFailure(const std::string& what, FileResult cause) override;

private:
    InstallView& view_;
    RunLog& log_;
    bool startMenu_;
};

}  // namespace brindle
