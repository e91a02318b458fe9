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

TEST(CollectStartMenuFolders, BothProgramsFoldersMergedSortedAndNested) {
    const struct {
        const char* rule;
        std::map<std::string, std::vector<std::string>> folders;
        std::vector<std::string> expected;
    } cases[] = {
        {"each text once",
         {{kUserPrograms, {"Shared", "Mine"}},
          {user("Shared\\"), {"Only Mine"}},
          {kCommonPrograms, {"Shared", "Theirs"}},
          {common("Shared\\"), {"Only Mine", "Only Theirs"}}},
         {"Mine", "Shared", "Shared\\Only Mine", "Shared\\Only Theirs", "Theirs"}},
        {"names equal apart from case are different texts, in the order found, the user's first",
         {{kUserPrograms, {"Games"}}, {kCommonPrograms, {"GAMES", "Games"}}},
         {"Games", "GAMES"}},
        // "_" (0x5F) lies between the upper- and lower-case letters; bytes above
        // 0x7F are not folded, so "\xC4" (A umlaut) comes before "\xE4" (a umlaut).
        {"the order folds ASCII letters to lower case",
         {{kUserPrograms, {"beta", "Zeta", "_Tools", "\xE4pfel", "Alpha", "\xC4rger", "9 Lives"}}},
         {"9 Lives", "_Tools", "Alpha", "beta", "Zeta", "\xC4rger", "\xE4pfel"}},
        {"each folder is followed by the folders inside it",
         {{kUserPrograms, {"Kit 2", "Kit", "Kit-Old", "Kit0", "Kits"}},
          {user("Kit\\"), {"Sub", "Sub 2"}},
          {user("Kit\\Sub\\"), {"Deep"}}},
         {"Kit", "Kit\\Sub", "Kit\\Sub\\Deep", "Kit\\Sub 2", "Kit 2", "Kit-Old", "Kit0", "Kits"}},
    };
    for (const auto& c : cases) EXPECT_EQ(FakeFolders(c.folders).collect(), c.expected) << c.rule;
}

TEST(CollectStartMenuFolders, MissingProgramsFolderAddsNothingAndIsNotWalked) {
    FakeFolders machine({{kCommonPrograms, {"Theirs"}}, {"\\", {"Windows"}}});
    EXPECT_EQ(machine.collect("", kCommonPrograms), std::vector<std::string>{"Theirs"});
    EXPECT_EQ(machine.listed, (std::vector<std::string>{kCommonPrograms, common("Theirs\\")}));
    EXPECT_TRUE(machine.collect("", "").empty());
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

// Neither selects an item beyond the list or none; the deeper items before
// an item are not its parents.
TEST(SelectedTreePath, NamesOfTheItemsAboveJoined) {
    const std::pair<int, const char*> rows[] = {
        {0, "Tools"}, {3, "Tools\\Extras\\Sounds"}, {5, "Utilities\\Tool"}, {-1, ""}, {7, ""}};
    for (const auto& [index, path] : rows) EXPECT_EQ(selectedTreePath(kTree, index), path) << index;
    EXPECT_EQ(selectedTreePath({}, 0), "");
}

// A second name without such a sub-folder selects the top folder: only the
// matched folder's own sub-folders count, not a grandchild nor a later top
// folder's. Case counts, and only top items match the first name.
TEST(FindTreeItem, DeepestItemMatchingLeadingNames) {
    const std::pair<const char*, int> rows[] = {
        {"Tools\\Extras\\Sounds", 3}, {"Tools\\Extras\\Sounds\\More", 3}, {"Tools\\Tool", 1}, {"Tools\\", 0},
        {"Utilities\\Tool", 5},       {"Tools\\My Program", 0},          {"Tools\\Sounds", 0}, {"Tools\\Help", 0},
        {"Utilities\\Extras", 4},     {"tools\\Tool", -1},               {"Tool", -1},         {"\\Tools", -1},
        {"", -1}};
    for (const auto& [path, index] : rows) EXPECT_EQ(findTreeItem(kTree, path), index) << path;
    EXPECT_EQ(findTreeItem({}, "Tools"), -1);
}

// Through the tree items: each one's text is the last name, its level the
// number of "\"; so every collected folder is found again by its path.
TEST(StartMenuTree, EveryCollectedFolderIsFoundAgainByItsSelectedPath) {
    FakeFolders machine({
        {kUserPrograms, {"Kit", "Kit 2", "app"}},
        {user("Kit\\"), {"Sub"}},
        {user("Kit\\Sub\\"), {"Deep"}},
        {user("Kit 2\\"), {"Sub"}},
        {kCommonPrograms, {"Kit", "App"}},
        {common("Kit\\"), {"Sub", "Common"}},
    });
    const std::vector<std::string> folders = machine.collect();
    const std::vector<ui::TreeItem> items = startMenuTreeItems(folders);
    ASSERT_EQ(items.size(), folders.size());
    for (int index = 0; index < int(items.size()); ++index) {
        EXPECT_EQ(selectedTreePath(items, index), folders[std::size_t(index)]);
        EXPECT_EQ(findTreeItem(items, folders[std::size_t(index)]), index) << folders[std::size_t(index)];
    }
}

}  // namespace
}  // namespace brindle
