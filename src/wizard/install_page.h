// The wizard's last page as the install step's view.
#pragma once

#include "install/install_view.h"

namespace brindle {

class LanguageTexts;

class InstallPage final : public InstallView {
public:
    // `startProgram`: whether the start-program box is ticked when done.
    InstallPage(const LanguageTexts& texts, bool startProgram) : texts_(texts), startProgram_(startProgram) {}

    std::string installFolder() const override;
    std::string startMenuFolder() const override;
    bool desktopIconWanted() const override;
    void showProgress(const std::string& status) override;
    int addLine(const std::string& line) override;
    void replaceLine(int index, const std::string& line) override;
    bool confirmReplace(const std::string& newFile, const std::string& currentFile) override;
    void showFinished(const std::string& title, const std::string& status) override;
    void noteFile(const std::string&, const ExtractResult&) override {}
    void noteFailure(const std::string&, FileResult) override {}

private:
    const LanguageTexts& texts_;
    bool startProgram_;
};

}  // namespace brindle
