#pragma once

#include <string>
#include <vector>

namespace brindle::tool {

// The candidate closest to `word` without regard to ASCII case, when it is
// close enough to be a likely misspelling (two edits at most, fewer for
// short words); empty otherwise.
std::string nearestSpelling(const std::string& word, const std::vector<std::string>& candidates);

}  // namespace brindle::tool
