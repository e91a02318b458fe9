#pragma once

namespace brindle {

class LanguageTexts;
class PreferenceFile;
struct RunState;
struct SetupSettings;

// The Install button: copies setup.pck's files into the chosen folder,
// writing the progress list, and leaves the last page in its finished state.
void runInstall(RunState& run, PreferenceFile& ini, SetupSettings& settings, const LanguageTexts& texts);

}  // namespace brindle
