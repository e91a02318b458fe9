// Moving between the wizard's five pages. The rules are portable; the
// wizard window carries them out through a PageView.
#pragma once

#include <string>

namespace brindle {

class PageView {
public:
    virtual ~PageView() = default;
    virtual void show(int control, bool visible) = 0;
    virtual void enable(int control, bool enabled) = 0;
    virtual bool isChecked(int control) const = 0;
    // Whether the licence (page 2) or readme (page 4) editor holds text.
    virtual bool hasDocument(int editor) const = 0;
    // The header band's title and message for page 2, 3 or 4.
    virtual void headerTexts(int page) = 0;
    virtual std::string installFolder() const = 0;
    // Tells the user that the installation folder is no complete path.
    virtual void refuseInstallFolder() = 0;
};

// True when the installation folder names its drive or share; otherwise the
// view refuses it. Leaving the settings page and Install ask this first.
bool acceptInstallFolder(PageView& view);

// Next: returns the page now on show. Pages without a document are skipped;
// the settings page stays while its installation folder is refused.
int stepForward(int currentPage, PageView& view);
// Back: returns the page now on show.
int stepBack(int currentPage, PageView& view);

}  // namespace brindle
