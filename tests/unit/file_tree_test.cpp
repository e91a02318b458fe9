#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"
#include "toolkit/file_tree.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

// A work directory with files, a read-only file, nested folders and links
// that lead outside; the folder they lead to must survive its removal.
struct TreeWithLinks {
    test::TempFolder root;
    fs::path work = root.path() / "work";
    fs::path outside = root.path() / "outside";

    TreeWithLinks() {
        fs::create_directories(work / "sub" / "deeper");
        fs::create_directories(outside / "keep");
        test::writeBytes(outside / "keep" / "precious.txt", test::bytesOf("precious"));
        test::writeBytes(work / "setup.ini", test::bytesOf("[Info]"));
        test::writeBytes(work / "sub" / "deeper" / "inner.txt", test::bytesOf("inner"));
        test::writeBytes(work / "sub" / "locked.txt", test::bytesOf("read-only"));
        fs::permissions(work / "sub" / "locked.txt", fs::perms::owner_read);
        fs::create_directory_symlink(outside, work / "folder-link");
        fs::create_directory_symlink(outside / "keep", work / "sub" / "deeper" / "nested-link");
        fs::create_symlink(outside / "keep" / "precious.txt", work / "file-link");
    }
    std::string corePath(const fs::path& folder) const { return folder.string() + "\\"; }
};

TEST(FileTree, RemovingOrEmptyingNeverEntersLinks) {
    for (const bool emptying : {false, true}) {
        SCOPED_TRACE(emptying ? "emptying" : "removing");
        TreeWithLinks tree;
        EXPECT_TRUE(emptying ? removeFolderContents(tree.corePath(tree.work)) : removeTree(tree.corePath(tree.work)));
        test::FolderContents left = {
            {"outside/", ""}, {"outside/keep/", ""}, {"outside/keep/precious.txt", "precious"}};
        if (emptying) left["work/"] = "";
        EXPECT_EQ(test::contentsOf(tree.root.path()), left);
    }
}

TEST(FileTree, AFolderThatIsALinkIsOnlyUnlinkedAndAMissingOneIsGone) {
    TreeWithLinks tree;
    const fs::path swapped = tree.root.path() / "swapped";
    fs::create_directory_symlink(tree.outside, swapped);
    EXPECT_TRUE(removeTree(tree.corePath(swapped)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(swapped)));
    EXPECT_EQ(test::contentsOf(tree.outside), (test::FolderContents{{"keep/", ""}, {"keep/precious.txt", "precious"}}));
    EXPECT_TRUE(removeTree(tree.corePath(swapped)));
    EXPECT_FALSE(removeTree(""));
    EXPECT_FALSE(removeFolderContents(tree.corePath(swapped)));
}

}  // namespace
}  // namespace brindle
