#include "toolkit/replacement_file.h"

namespace brindle {

namespace {
// Names left by runs that ended early are stepped over, not reused.
constexpr int kNameAttempts = 100;
}  // namespace

FileResult ReplacementFile::create(const std::string& target) {
    discard();
    const std::string folder = target.substr(0, target.find_last_of("\\/") + 1);
    FileResult created;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = folder + "~brindle" + std::to_string(attempt) + ".tmp";
        created = fresh_.createNew(name);
        if (created) {
            freshPath_ = name;
            target_ = target;
            return created;
        }
        if (!pathExists(name)) return created;  // refused for another reason than the name
    }
    return created;
}

FileResult ReplacementFile::replaceTarget() {
    if (freshPath_.empty()) return FileResult::refused();
    fresh_.close();
    const FileResult replaced = replaceFile(freshPath_, target_);
    if (!replaced) {
        discard();
        return replaced;
    }
    freshPath_.clear();
    return replaced;
}

void ReplacementFile::discard() {
    fresh_.close();
    if (!freshPath_.empty()) removeFile(freshPath_);
    freshPath_.clear();
}

}  // namespace brindle
