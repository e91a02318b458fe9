#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// Shows the start-menu folder chooser over the wizard and returns the chosen
// folder relative to the Programs folders; the start-menu field's text when
// Apply was pressed with nothing chosen; the empty text when the window was
// closed or could not be opened.
std::string chooseStartMenuFolder(const LanguageTexts& texts);

}  // namespace brindle
