// What the install step shows on the wizard's last page and asks of the
// user: the page's side of the step, so that the step itself runs anywhere.
#pragma once

#include <string>

#include "package/extraction.h"

namespace brindle {

class InstallView {
public:
    virtual ~InstallView() = default;
    // The settings the user made on the settings page.
    virtual std::string installFolder() const = 0;
    virtual std::string startMenuFolder() const = 0;
    virtual bool desktopIconWanted() const = 0;

    // Turns the page into its progress form, with `status` in the status line.
    virtual void showProgress(const std::string& status) = 0;
    // Adds a line to the progress list; returns its index.
    virtual int addLine(const std::string& line) = 0;
    virtual void replaceLine(int index, const std::string& line) = 0;
    // Whether `newFile` is to replace the existing `currentFile`.
    virtual bool confirmReplace(const std::string& newFile, const std::string& currentFile) = 0;
    // Turns the page into its finished form.
    virtual void showFinished(const std::string& title, const std::string& status) = 0;

    // For the run's log, which the page does not show: what became of each
    // file the step writes (its full path), with the system's cause of a
    // failure; and a step that failed, named by what it was to make, with
    // its file operation's cause, or none (`cause` true) for a step that is
    // no file operation, told at once after the failed call, whose cause is
    // then the platform's last error.
    virtual void noteFile(const std::string& path, const ExtractResult& result) = 0;
    virtual void noteFailure(const std::string& what, FileResult cause) = 0;
};

}  // namespace brindle
