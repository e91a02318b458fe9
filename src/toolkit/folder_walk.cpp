#include "toolkit/folder_walk.h"

#include <string_view>

namespace brindle {

FileResult FolderWalk::open(const std::string& destination) {
    held_.clear();
    held_.emplace_back();
    destinationHeld_ = held_[0].folder.open(destination);
    if (!destinationHeld_) held_.clear();
    return destinationHeld_;
}

const HeldFolder* FolderWalk::enter(const std::string& folders, HeldFolder::Opened& failure) {
    if (held_.empty()) {
        failure = {HeldFolder::Opened::Failed, destinationHeld_};
        return nullptr;
    }
    failure = {};  // failed by refusal, as for a name of dots only
    std::size_t depth = 1;  // folders of the chain that this path shares, the destination included
    for (std::size_t start = 0; start < folders.size();) {
        std::size_t end = folders.find_first_of("\\/", start);
        if (end == std::string::npos) end = folders.size();
        std::string_view name(folders.data() + start, end - start);
        start = end + 1;
        if (!name.empty() && name.find_first_not_of('.') == std::string_view::npos) return nullptr;  // never upwards
        while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.remove_suffix(1);
        if (name.empty()) continue;
        if (depth < held_.size() && held_[depth].name == name) {
            ++depth;
            continue;
        }
        while (held_.size() > depth) held_.pop_back();
        held_.emplace_back();
        Step& step = held_.back();
        step.name = name;
        failure = step.folder.openChild(held_[depth - 1].folder, step.name);
        if (failure.kind != HeldFolder::Opened::Yes) {
            held_.pop_back();
            return nullptr;
        }
        ++depth;
    }
    while (held_.size() > depth) held_.pop_back();
    return &held_.back().folder;
}

}  // namespace brindle
