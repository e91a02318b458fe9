#pragma once

#include <string>

namespace brindle {

class LanguageTexts;

// Creates the wizard window (hidden), its fonts and every control of the
// five pages in the state of page 1, then shows it. False when the window
// or a control cannot be made.
bool buildWizard(const std::string& windowTitle, const LanguageTexts& texts);

// The etched line between the pages and the buttons.
void addSeparator();

}  // namespace brindle
