#include <gtest/gtest.h>

#include <map>

#include "wizard/start_menu_folders.h"

namespace brindle {
namespace {

constexpr char kUserPrograms[] = "C:\\Users\\ann\\Start Menu\\Programs\\";
constexpr char kCommonPrograms[] = "C:\\ProgramData\\Start Menu\\Programs\\";

// A machine's folders: each folder path (with its final "\") and the names
// of the folders inside it. Records which folders were listed.
class FakeFolders {
public:
    explicit FakeFolders(std::map<std::string, std::vector<std::string>> folders) : folders_(std::move(folders)) {}

    std::vector<std::string> collect(const std::string& user = kUserPrograms,
                                     const std::string& common = kCommonPrograms) {
        const auto folderPath = [&](int code) {
            return code == kProgramsFolder ? user : code == kCommonProgramsFolder ? common : std::string();
        };
        const auto subFolders = [&](const std::string& folder) {
            listed.push_back(folder);
            const auto found = folders_.find(folder);
            return found == folders_.end() ? std::vector<std::string>() : found->second;
        };
        std::vector<std::string> collected = {"left from an earlier call"};
        collectStartMenuFolders(collected, folderPath, subFolders);
        return collected;
    }

    std::vector<std::string> listed;

private:
    std::map<std::string, std::vector<std::string>> folders_;
};

std::string user(const std::string& path) { return kUserPrograms + path; }
std::string common(const std::string& path) { return kCommonPrograms + path; }

TEST(CollectStartMenuFolders, BothProgramsFoldersMergedEachTextOnce) {
    FakeFolders machine({
        {kUserPrograms, {"Shared", "Mine"}},
        {user("Shared\\"), {"Only Mine"}},
        {kCommonPrograms, {"Shared", "Theirs"}},
        {common("Shared\\"), {"Only Mine", "Only Theirs"}},
    });
    EXPECT_EQ(machine.collect(), (std::vector<std::string>{"Mine", "Shared", "Shared\\Only Mine",
                                                           "Shared\\Only Theirs", "Theirs"}));
}

TEST(CollectStartMenuFolders, NamesDifferingInCaseAreDifferentTexts) {
    FakeFolders machine({{kUserPrograms, {"Games"}}, {kCommonPrograms, {"GAMES", "Games"}}});
    // Equal apart from case: kept in the order found, the user's first.
    EXPECT_EQ(machine.collect(), (std::vector<std::string>{"Games", "GAMES"}));
}

TEST(CollectStartMenuFolders, OrderFoldsAsciiLettersToLowerCase) {
    FakeFolders machine({{kUserPrograms, {"beta", "Zeta", "_Tools", "\xE4pfel", "Alpha", "\xC4rger", "9 Lives"}}});
    // "_" (0x5F) lies between the upper- and lower-case letters; bytes above
    // 0x7F are not folded, so "\xC4" (A umlaut) comes before "\xE4" (a umlaut).
    EXPECT_EQ(machine.collect(),
              (std::vector<std::string>{"9 Lives", "_Tools", "Alpha", "beta", "Zeta", "\xC4rger", "\xE4pfel"}));
}

TEST(CollectStartMenuFolders, EachFolderIsFollowedByTheFoldersInsideIt) {
    FakeFolders machine({
        {kUserPrograms, {"Kit 2", "Kit", "Kit-Old", "Kit0", "Kits"}},
        {user("Kit\\"), {"Sub", "Sub 2"}},
        {user("Kit\\Sub\\"), {"Deep"}},
    });
    EXPECT_EQ(machine.collect(), (std::vector<std::string>{"Kit", "Kit\\Sub", "Kit\\Sub\\Deep", "Kit\\Sub 2", "Kit 2",
                                                           "Kit-Old", "Kit0", "Kits"}));
}

TEST(CollectStartMenuFolders, MissingProgramsFolderAddsNothingAndIsNotWalked) {
    FakeFolders machine({{kCommonPrograms, {"Theirs"}}, {"\\", {"Windows"}}});
    EXPECT_EQ(machine.collect("", kCommonPrograms), std::vector<std::string>{"Theirs"});
    EXPECT_EQ(machine.listed, (std::vector<std::string>{kCommonPrograms, common("Theirs\\")}));
    EXPECT_TRUE(machine.collect("", "").empty());
}

TEST(StartMenuTreeItems, LastNameAndOneLevelPerBackslash) {
    const std::vector<ui::TreeItem> items = startMenuTreeItems({"Kit", "Kit\\Sub", "Kit\\Sub\\Deep", "Other"});
    ASSERT_EQ(items.size(), 4u);
    const std::pair<std::string, int> expected[] = {{"Kit", 0}, {"Sub", 1}, {"Deep", 2}, {"Other", 0}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, expected[i].first) << i;
        EXPECT_EQ(items[i].level, expected[i].second) << i;
    }
}

// Tools
//   Tool
//   Extras
//     Sounds
// Utilities
//   Tool
//   Help
const std::vector<ui::TreeItem> kTree = {{"Tools", 0},     {"Tool", 1}, {"Extras", 1}, {"Sounds", 2},
                                         {"Utilities", 0}, {"Tool", 1}, {"Help", 1}};

TEST(SelectedTreePath, NamesOfTheItemsAboveJoined) {
    EXPECT_EQ(selectedTreePath(kTree, 0), "Tools");
    EXPECT_EQ(selectedTreePath(kTree, 3), "Tools\\Extras\\Sounds");
    EXPECT_EQ(selectedTreePath(kTree, 5), "Utilities\\Tool");  // the deeper items before it are not its parents
}

TEST(SelectedTreePath, NoItemSelectedGivesEmptyText) {
    EXPECT_EQ(selectedTreePath(kTree, -1), "");
    EXPECT_EQ(selectedTreePath(kTree, 7), "");
    EXPECT_EQ(selectedTreePath({}, 0), "");
}

TEST(FindTreeItem, DeepestItemMatchingLeadingNames) {
    EXPECT_EQ(findTreeItem(kTree, "Tools\\Extras\\Sounds"), 3);
    EXPECT_EQ(findTreeItem(kTree, "Tools\\Extras\\Sounds\\More"), 3);
    EXPECT_EQ(findTreeItem(kTree, "Tools\\Tool"), 1);
    EXPECT_EQ(findTreeItem(kTree, "Tools\\"), 0);
    EXPECT_EQ(findTreeItem(kTree, "Utilities\\Tool"), 5);
}

TEST(FindTreeItem, SecondNameWithoutSuchSubFolderSelectsTheTopFolder) {
    EXPECT_EQ(findTreeItem(kTree, "Tools\\My Program"), 0);
    EXPECT_EQ(findTreeItem(kTree, "Tools\\Sounds"), 0);  // a grandchild is not a child
    // Only the matched folder's own sub-folders count, not a later top folder's.
    EXPECT_EQ(findTreeItem(kTree, "Tools\\Help"), 0);
    EXPECT_EQ(findTreeItem(kTree, "Utilities\\Extras"), 4);
}

TEST(FindTreeItem, NoTopFolderOfThatNameSelectsNone) {
    EXPECT_EQ(findTreeItem(kTree, "tools\\Tool"), -1);  // case counts
    EXPECT_EQ(findTreeItem(kTree, "Tool"), -1);         // only top items match the first name
    EXPECT_EQ(findTreeItem(kTree, "\\Tools"), -1);
    EXPECT_EQ(findTreeItem(kTree, ""), -1);
    EXPECT_EQ(findTreeItem({}, "Tools"), -1);
}

TEST(StartMenuTree, EveryCollectedFolderIsFoundAgainByItsSelectedPath) {
    FakeFolders machine({
        {kUserPrograms, {"Kit", "Kit 2", "app"}},
        {user("Kit\\"), {"Sub"}},
        {user("Kit 2\\"), {"Sub"}},
        {kCommonPrograms, {"Kit", "App"}},
        {common("Kit\\"), {"Sub", "Common"}},
    });
    const std::vector<std::string> folders = machine.collect();
    const std::vector<ui::TreeItem> items = startMenuTreeItems(folders);
    for (int index = 0; index < int(items.size()); ++index) {
        EXPECT_EQ(selectedTreePath(items, index), folders[std::size_t(index)]);
        EXPECT_EQ(findTreeItem(items, folders[std::size_t(index)]), index) << folders[std::size_t(index)];
    }
}

}  // namespace
}  // namespace brindle
