#include <gtest/gtest.h>

#include <map>
#include <set>

#include "wizard/folder_fields.h"
#include "wizard/page_navigation.h"
#include "wizard/wizard_ids.h"

namespace brindle {
namespace {

// Records what the navigation shows, starting from the wizard as built.
class FakeView : public PageView {
public:
    FakeView(bool licence, bool readme) : licence_(licence), readme_(readme) {
        for (int control : {kWelcomePage, kSidePicture, kNextButton, kCancelButton, kWebLink}) shown_.insert(control);
    }
    void show(int control, bool visible) override {
        if (visible) shown_.insert(control);
        else shown_.erase(control);
    }
    void enable(int control, bool enabled) override { enabled_[control] = enabled; }
    bool isChecked(int control) const override { return control == kAcceptOption && accepted; }
    bool hasDocument(int editor) const override { return editor == kLicenceEditor ? licence_ : readme_; }
    void headerTexts(int page) override { header = page; }
    std::string installFolder() const override { return folder; }
    void refuseInstallFolder() override { ++refusals; }

    bool shown(int control) const { return shown_.count(control) != 0; }
    bool enabled(int control) const {
        const auto found = enabled_.find(control);
        return found == enabled_.end() || found->second;
    }
    // The one page panel on show, or 0 when none or several are.
    int pagePanel() const {
        int found = 0;
        for (int panel : {kWelcomePage, kLicencePage, kSettingsPage, kReadmePage, kInstallPage}) {
            if (!shown(panel)) continue;
            if (found) return 0;
            found = panel;
        }
        return found;
    }

    bool accepted = false;
    int header = 0;
    std::string folder = "C:\\Programs\\Tool";
    int refusals = 0;

private:
    bool licence_, readme_;
    std::set<int> shown_;
    std::map<int, bool> enabled_;
};

TEST(PageNavigation, AllPagesForwardAndBack) {
    FakeView view(true, true);
    int page = stepForward(1, view);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(view.pagePanel(), kLicencePage);
    EXPECT_TRUE(view.shown(kHeaderBand));
    EXPECT_FALSE(view.shown(kSidePicture));
    EXPECT_EQ(view.header, 2);
    EXPECT_FALSE(view.enabled(kNextButton));  // not accepted yet
    view.accepted = true;
    page = stepForward(page, view);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(view.pagePanel(), kSettingsPage);
    EXPECT_EQ(view.header, 3);
    page = stepForward(page, view);
    EXPECT_EQ(page, 4);
    EXPECT_EQ(view.pagePanel(), kReadmePage);
    EXPECT_EQ(view.header, 4);
    page = stepForward(page, view);
    EXPECT_EQ(page, 5);
    EXPECT_EQ(view.pagePanel(), kInstallPage);
    EXPECT_TRUE(view.shown(kInstallButton));
    EXPECT_FALSE(view.shown(kNextButton));
    EXPECT_FALSE(view.shown(kHeaderBand));

    view.header = 0;
    page = stepBack(page, view);
    EXPECT_EQ(page, 4);
    EXPECT_EQ(view.pagePanel(), kReadmePage);
    EXPECT_EQ(view.header, 0);  // the texts of page 4 are still in place
    EXPECT_TRUE(view.shown(kHeaderBand));
    EXPECT_TRUE(view.shown(kNextButton));
    EXPECT_FALSE(view.shown(kInstallButton));
    page = stepBack(stepBack(page, view), view);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(view.pagePanel(), kLicencePage);
    page = stepBack(page, view);
    EXPECT_EQ(page, 1);
    EXPECT_EQ(view.pagePanel(), kWelcomePage);
    EXPECT_FALSE(view.shown(kBackButton));
    EXPECT_TRUE(view.enabled(kNextButton));
}

TEST(PageNavigation, PagesWithoutDocumentsAreSkipped) {
    FakeView view(false, false);
    int page = stepForward(1, view);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(view.pagePanel(), kSettingsPage);
    EXPECT_TRUE(view.enabled(kNextButton));
    page = stepForward(page, view);
    EXPECT_EQ(page, 5);
    EXPECT_EQ(view.pagePanel(), kInstallPage);
    page = stepBack(page, view);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(view.pagePanel(), kSettingsPage);
    EXPECT_EQ(view.header, 3);
    page = stepBack(page, view);
    EXPECT_EQ(page, 1);
    EXPECT_EQ(view.pagePanel(), kWelcomePage);
    EXPECT_FALSE(view.shown(kHeaderBand));
}

// Only a folder that names its drive or share leaves the settings page; the
// rest would install relative to the current folder or drive.
TEST(PageNavigation, SettingsPageKeepsAnIncompleteInstallFolder) {
    const struct {
        const char* folder;
        bool accepted;
    } rows[] = {
        {"C:\\Programs\\Tool", true}, {"d:\\", true}, {"\\\\server\\share", true}, {"\\\\server\\share\\Tool\\", true},
        {"", false}, {"\\Tool", false}, {"Apps", false}, {"Apps\\Tool", false}, {"C:Tool", false}, {"C:", false},
        {"1:\\Tool", false}, {"\\\\server", false}, {"\\\\server\\", false}, {"\\\\\\share", false},
        {"\\\\.\\C:\\Tool", false}, {"\\\\?\\C:\\Tool", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        FakeView view(false, false);
        view.folder = row.folder;
        EXPECT_EQ(stepForward(3, view), row.accepted ? 5 : 3);
        EXPECT_EQ(view.refusals, row.accepted ? 0 : 1);
        EXPECT_EQ(acceptInstallFolder(view), row.accepted);
    }
}

TEST(FolderFields, InstallFolderGetsTheProgramFolderName) {
    EXPECT_EQ(checkedInstallFolder("D:\\Apps", "Tool"), "D:\\Apps\\Tool");
    EXPECT_EQ(checkedInstallFolder("D:\\Apps\\", "Tool"), "D:\\Apps\\Tool");
    EXPECT_EQ(checkedInstallFolder("D:\\Tools\\Other", "Tool"), "D:\\Tools\\Other");  // contained anywhere
    EXPECT_EQ(checkedInstallFolder("D:\\apps\\tool", "Tool"), "D:\\apps\\tool\\Tool");  // case counts
    EXPECT_EQ(checkedInstallFolder("D:\\Apps", ""), "D:\\Apps\\");
}

TEST(FolderFields, BrowsedFolderKeepsAnEndingProgramFolderName) {
    EXPECT_EQ(browsedInstallFolder("E:\\Programs\\", "Tool"), "E:\\Programs\\Tool");
    EXPECT_EQ(browsedInstallFolder("E:\\Programs\\Tool\\", "Tool"), "E:\\Programs\\Tool\\");
    EXPECT_EQ(browsedInstallFolder("E:\\", "\\Tool"), "E:\\\\Tool");
}

TEST(FolderFields, StartMenuFolder) {
    EXPECT_EQ(checkedStartMenuFolder("", "Tools\\Tool"), "Tools\\Tool");
    EXPECT_EQ(checkedStartMenuFolder("Games", "Tool"), "Games\\Tool");
    EXPECT_EQ(checkedStartMenuFolder("My Tool", "Tool"), "My Tool");
    EXPECT_EQ(chosenStartMenuFolder("Utilities", "Tools\\Tool"), "Utilities\\Tool");
    EXPECT_EQ(chosenStartMenuFolder("Utilities\\", "Tool"), "Utilities\\Tool");
    EXPECT_EQ(chosenStartMenuFolder("Utilities\\Tool", "Tool"), "Utilities\\Tool");
    EXPECT_EQ(chosenStartMenuFolder("Utilities", "Tools\\"), "Utilities");  // no leaf name
}

}  // namespace
}  // namespace brindle
