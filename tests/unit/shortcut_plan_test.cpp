#include <gtest/gtest.h>

#include "install/link_names.h"
#include "install/shortcut_plan.h"

namespace brindle {
namespace {

TEST(LinkNames, FileAndFolderPartsSkipALeadingQuote) {
    EXPECT_EQ(filePartOf("\"bin\\my.tool.exe"), "my.tool.exe");
    EXPECT_EQ(folderPartOf("\"bin\\sub/tool.exe"), "bin\\sub/");
    EXPECT_EQ(folderPartOf("tool.exe"), "");
    EXPECT_EQ(shortcutNameOf("bin\\my.tool.exe"), "my");
    EXPECT_EQ(shortcutNameOf("a/b/c"), "c");
    EXPECT_EQ(shortcutNameOf(""), "");
}

TEST(LinkNames, LinkExtensionIsAddedUnlessExactlyPresent) {
    EXPECT_EQ(withLinkExtension("Tool"), "Tool.lnk");
    EXPECT_EQ(withLinkExtension("Tool.lnk"), "Tool.lnk");
    EXPECT_EQ(withLinkExtension("Tool.LNK"), "Tool.LNK.lnk");
    EXPECT_EQ(withLinkExtension(""), ".lnk");
}

TEST(StartMenuFolder, FieldElseProgramNameUpToTheFirstDot) {
    EXPECT_EQ(startMenuFolderName("Tools\\Mine", "tool.exe"), "Tools\\Mine");
    EXPECT_EQ(startMenuFolderName("", "tool.exe"), "tool");
    EXPECT_EQ(startMenuFolderName("", "my.tool.exe"), "my");
    EXPECT_EQ(startMenuFolderName("", "tool"), "tool");
    EXPECT_EQ(startMenuDirOf("C:\\Menu\\Programs\\", "Tools\\Mine"), "C:\\Menu\\Programs\\Tools\\Mine\\");
    EXPECT_EQ(startMenuDirOf("C:\\Menu\\Programs\\", "Tool\\"), "C:\\Menu\\Programs\\Tool\\");
}

ShortcutInputs toolInputs() {
    ShortcutInputs in;
    in.installDir = "C:\\Apps\\Tool\\";
    in.progExe = "tool.exe";
    in.progLink = "Tool";
    in.iconIndex = -56;
    in.startMenuDir = "C:\\Menu\\Tool\\";
    in.helpName = "Help";
    return in;
}

void expectShortcut(const Shortcut& link, const std::string& target, const std::string& file,
                    const std::string& folder, const std::string& icon, int index) {
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.linkFile, file);
    EXPECT_EQ(link.workingFolder, folder);
    EXPECT_EQ(link.iconFile, icon);
    EXPECT_EQ(link.iconIndex, index);
}

TEST(Shortcuts, DesktopPointsAtTheProgramWithItsIconIndex) {
    expectShortcut(desktopShortcut("C:\\Desk\\", toolInputs()), "C:\\Apps\\Tool\\tool.exe", "C:\\Desk\\Tool.lnk",
                   "C:\\Apps\\Tool\\", "|", -56);
    ShortcutInputs noProgram = toolInputs();
    noProgram.progExe.clear();
    noProgram.progLink.clear();
    expectShortcut(desktopShortcut("C:\\Desk\\", noProgram), "C:\\Apps\\Tool\\", "C:\\Desk\\.lnk", "C:\\Apps\\Tool\\",
                   "|", -56);
}

TEST(Shortcuts, StartMenuMakesEachRequestedLinkInOrder) {
    ShortcutInputs in = toolInputs();
    in.exe = "bin\\conf.ig.exe";
    in.help = "docs\\tool.chm";
    in.url = "https://tool.example/";
    in.unistall = 1;
    in.helpName = "Read me";
    const std::vector<Shortcut> links = startMenuShortcuts(in);
    ASSERT_EQ(links.size(), 5u);
    expectShortcut(links[0], "C:\\Apps\\Tool\\tool.exe", "C:\\Menu\\Tool\\Tool.lnk", "C:\\Apps\\Tool\\", "|", -56);
    expectShortcut(links[1], "C:\\Apps\\Tool\\bin\\conf.ig.exe", "C:\\Menu\\Tool\\conf.lnk", "C:\\Apps\\Tool\\bin\\",
                   "|", 0);
    expectShortcut(links[2], "C:\\Apps\\Tool\\docs\\tool.chm", "C:\\Menu\\Tool\\Read me.lnk", "C:\\Apps\\Tool\\", "|",
                   0);
    expectShortcut(links[3], "https://tool.example/", "C:\\Menu\\Tool\\Homepage.lnk", "",
                   "C:\\WINDOWS\\system32\\url.dll", 0);
    expectShortcut(links[4], "C:\\Apps\\Tool\\Uninstall.exe", "C:\\Menu\\Tool\\Uninstall.lnk", "C:\\Apps\\Tool\\", "|",
                   0);
}

TEST(Shortcuts, StartMenuLeavesOutWhatIsNotAskedFor) {
    EXPECT_EQ(startMenuShortcuts(toolInputs()).size(), 1u);
    ShortcutInputs in = toolInputs();
    in.progExe.clear();
    EXPECT_TRUE(startMenuShortcuts(in).empty());
    in.unistall = 2;  // any value but 0
    ASSERT_EQ(startMenuShortcuts(in).size(), 1u);
    EXPECT_EQ(startMenuShortcuts(in)[0].linkFile, "C:\\Menu\\Tool\\Uninstall.lnk");
}

}  // namespace
}  // namespace brindle
