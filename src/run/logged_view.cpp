#include "run/logged_view.h"

#include "run/log_lines.h"
#include "run/run_log.h"

namespace brindle {

void LoggedView::showProgress(const std::string& status) {
    log_.write("installation folder: " + view_.installFolder());
    log_.write("start-menu folder: " + (startMenu_ ? view_.startMenuFolder() : std::string("none")));
    log_.write(std::string("desktop icon: ") + (view_.desktopIconWanted() ? "yes" : "no"));
    log_.write(status);
    view_.showProgress(status);
}

int LoggedView::addLine(const std::string& line) {
    log_.write(line);
    return view_.addLine(line);
}

void LoggedView::replaceLine(int index, const std::string& line) {
    log_.write(line);
    view_.replaceLine(index, line);
}

void LoggedView::showFinished(const std::string& title, const std::string& status) {
    log_.write(status);
    view_.showFinished(title, status);
}

void LoggedView::noteFile(const std::string& path, const ExtractResult& result) {
    log_.write(fileLogLine(path, result.outcome, result.cause ? std::string() : errorText(result.cause)));
}

void LoggedView::noteFailure(const std::string& what, FileResult cause) {
    log_.write(failureLogLine(what, cause ? RunLog::systemText() : errorText(cause)));
}

}  // namespace brindle
