#include "run/log_lines.h"

namespace brindle {

namespace {
const char* reasonOf(ExtractOutcome outcome) {
    switch (outcome) {
        case ExtractOutcome::Written:
        case ExtractOutcome::FolderMade:
        case ExtractOutcome::Kept:
        case ExtractOutcome::TimesFailed: break;
        case ExtractOutcome::UnsafeName: return "its name leaves the folder";
        case ExtractOutcome::LinkInWay: return "a link is in its way";
        case ExtractOutcome::FolderFailed: return "a folder on its way could not be made";
        case ExtractOutcome::NoSpace: return "not enough space on the drive";
        case ExtractOutcome::Damaged: return "its data are damaged";
        case ExtractOutcome::Truncated: return "the package ends before its data";
        case ExtractOutcome::WriteFailed: return "it could not be written";
        case ExtractOutcome::UnknownKind: return "an entry of unknown kind";
    }
    return nullptr;
}

std::string withSystemText(std::string line, const std::string& systemText) {
    return systemText.empty() ? line : line + ": " + systemText;
}
}  // namespace

std::string fileLogLine(const std::string& path, ExtractOutcome outcome, const std::string& systemText) {
    switch (outcome) {
        case ExtractOutcome::Written:
        case ExtractOutcome::FolderMade: return "written: " + path;
        case ExtractOutcome::Kept: return "kept: " + path;
        case ExtractOutcome::TimesFailed: return withSystemText("written without its times: " + path, systemText);
        default: return withSystemText("not written: " + path + ": " + reasonOf(outcome), systemText);
    }
}

std::string failureLogLine(const std::string& what, const std::string& systemText) {
    return withSystemText("failed: " + what, systemText);
}

std::string replaceLogLine(const std::string& currentFile, bool replaced) {
    return (replaced ? "replaced by the newer file: " : "kept as the newer file: ") + currentFile;
}

std::string exitLogLine(unsigned exitCode) { return "exit code: " + std::to_string(exitCode); }

}  // namespace brindle
