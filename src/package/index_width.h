// Chooses the index width for a stretch from the offsets its long matches use.
#pragma once

#include <vector>

#include "package/optimal_parse.h"

namespace brindle {

// The width that writes the long-match offsets of `tokens` in the fewest
// bits, counting the code that changes it away from `current`.
unsigned chooseIndexWidth(const std::vector<Token>& tokens, unsigned current);

}  // namespace brindle
