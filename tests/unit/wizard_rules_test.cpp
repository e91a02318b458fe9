#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

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

// Each step from the page before, with what it then shows: the header texts
// are set only where the page needs new ones (0: left as they were).
TEST(PageNavigation, ForwardAndBackSkippingPagesWithoutDocuments) {
    struct Step {
        bool forward;
        int page, panel, header;
        bool band, next, nextEnabled, install, back;
    };
    const std::pair<bool, std::vector<Step>> walks[] = {{true, {
        {true, 2, kLicencePage, 2, true, true, false, false, true},  // not accepted yet
        {true, 3, kSettingsPage, 3, true, true, true, false, true},
        {true, 4, kReadmePage, 4, true, true, true, false, true},
        {true, 5, kInstallPage, 0, false, false, true, true, true},
        {false, 4, kReadmePage, 0, true, true, true, false, true},  // page 4's texts are still in place
        {false, 3, kSettingsPage, 3, true, true, true, false, true},
        {false, 2, kLicencePage, 2, true, true, true, false, true},
        {false, 1, kWelcomePage, 0, false, true, true, false, false},
    }}, {false, {
        {true, 3, kSettingsPage, 3, true, true, true, false, true},
        {true, 5, kInstallPage, 0, false, false, true, true, true},
        {false, 3, kSettingsPage, 3, true, true, true, false, true},
        {false, 1, kWelcomePage, 0, false, true, true, false, false},
    }}};
    for (const auto& [documents, steps] : walks) {
        FakeView view(documents, documents);
        int page = 1;
        for (const Step& step : steps) {
            SCOPED_TRACE((documents ? "documents, page " : "none, page ") + std::to_string(step.page));
            view.header = 0;
            page = step.forward ? stepForward(page, view) : stepBack(page, view);
            EXPECT_EQ(page, step.page);
            EXPECT_EQ(view.pagePanel(), step.panel);
            EXPECT_EQ(view.header, step.header);
            EXPECT_EQ(view.shown(kHeaderBand), step.band);
            EXPECT_EQ(view.shown(kSidePicture), !step.band);
            EXPECT_EQ(view.shown(kNextButton), step.next);
            EXPECT_EQ(view.enabled(kNextButton), step.nextEnabled);
            EXPECT_EQ(view.shown(kInstallButton), step.install);
            EXPECT_EQ(view.shown(kBackButton), step.back);
            if (page == 2) {  // the user accepts, which enables Next
                view.accepted = true;
                view.enable(kNextButton, true);
            }
        }
    }
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
