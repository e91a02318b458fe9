#include "run/unattended_view.h"

#include "run/log_lines.h"
#include "run/run_log.h"

namespace brindle {

bool UnattendedView::confirmReplace(const std::string& newFile, const std::string& currentFile) {
    const bool replace = isNewer_(newFile, currentFile);
    log_.write(replaceLogLine(currentFile, replace));
    return replace;
}

}  // namespace brindle
