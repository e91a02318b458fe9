// The folders from a destination down to the one an item goes into, held
// open one below the other, so that nothing is ever made through a link on
// the way. Each item enters its folder from the deepest folder it shares
// with the item before, so a walk over a whole package costs as much as its
// names are long, however deep they nest.
#pragma once

#include <string>
#include <vector>

#include "toolkit/files.h"

namespace brindle {

class FolderWalk {
public:
    // Holds `destination`, which is taken as the platform resolves it.
    FileResult open(const std::string& destination);

    // The held folder `folders` names below the destination ("\" or "/"
    // between the names, empty names passed over, blanks and dots at a
    // name's end dropped as Windows drops them), each folder made when it is
    // missing. Null when one on the way cannot be made or entered, or is
    // named only by dots, or the destination could not be held; `failure`
    // then says whether it is a link, or why it failed.
    const HeldFolder* enter(const std::string& folders, HeldFolder::Opened& failure);

private:
    struct Step {
        HeldFolder folder;
        std::string name;  // empty for the destination
    };
    std::vector<Step> held_;  // the destination first
    FileResult destinationHeld_ = FileResult::refused();
};

}  // namespace brindle
