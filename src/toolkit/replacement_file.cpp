#include "toolkit/replacement_file.h"

namespace brindle {

namespace {
// Names left by runs that ended early are stepped over, not reused.
constexpr int kNameAttempts = 100;
}  // namespace

FileResult ReplacementFile::create(const std::string& target) {
    discard();
    // A missing target is created under its own name: nothing of anyone's
    // is in the way, and where names are looked up without regard to case
    // (under Wine) each new name costs a read of the whole folder, so one
    // name per file instead of a fresh one and a rename halves that.
    FileResult created = fresh_.createNew(target);
    if (created) {
        freshPath_ = target_ = target;
        return created;
    }
    if (!pathExists(target)) return created;
    const std::string folder = target.substr(0, target.find_last_of("\\/") + 1);
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
    if (freshPath_ == target_) {
        freshPath_.clear();
        return {};
    }
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
