#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/setup_settings.h"

namespace brindle::tool {

// The uninstall.dat that setup.pck carries into the installation folder: a
// few comment lines, [Settings] with ProgName, Version, NoDelAll and
// MutexString, and [Files] with F001, F002, ... (F1000 after F999), one per
// installed file, relative to the installation folder. It is written in the
// form the installer's preference files write, so that the groups the
// installer adds follow it unchanged.
std::string uninstallTemplate(const SetupSettings& settings, std::int32_t noDelAll,
                              const std::vector<std::string>& files);

}  // namespace brindle::tool
