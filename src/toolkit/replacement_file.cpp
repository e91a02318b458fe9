#include "toolkit/replacement_file.h"

namespace brindle {

namespace {
// Names left by runs that ended early are stepped over, not reused.
constexpr int kNameAttempts = 100;
}  // namespace

bool ReplacementFile::create(const std::string& target) {
    discard();
    const std::string folder = target.substr(0, target.find_last_of("\\/") + 1);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = folder + "~brindle" + std::to_string(attempt) + ".tmp";
        if (fresh_.createNew(name)) {
            freshPath_ = name;
            target_ = target;
            return true;
        }
        if (!pathExists(name)) return false;  // refused for another reason than the name
    }
    return false;
}

bool ReplacementFile::replaceTarget() {
    if (freshPath_.empty()) return false;
    fresh_.close();
    if (!replaceFile(freshPath_, target_)) {
        discard();
        return false;
    }
    freshPath_.clear();
    return true;
}

void ReplacementFile::discard() {
    fresh_.close();
    if (!freshPath_.empty()) removeFile(freshPath_);
    freshPath_.clear();
}

}  // namespace brindle
