#include <gtest/gtest.h>

#include "install/link_names.h"
#include "install/shortcut_plan.h"

namespace brindle {
namespace {

TEST(LinkNames, PartsOfAPathAndTheLinkExtension) {
    EXPECT_EQ(filePartOf("\"bin\\my.tool.exe"), "my.tool.exe");  // a leading quote is skipped
    EXPECT_EQ(folderPartOf("\"bin\\sub/tool.exe"), "bin\\sub/");
    EXPECT_EQ(folderPartOf("tool.exe"), "");
    EXPECT_EQ(shortcutNameOf("bin\\my.tool.exe"), "my");
    EXPECT_EQ(shortcutNameOf("a/b/c"), "c");
    EXPECT_EQ(shortcutNameOf(""), "");
    // ".lnk" is added unless exactly present.
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

// Each link as a line: target, link file, working folder, icon file and index.
std::vector<std::string> lines(const std::vector<Shortcut>& links) {
    std::vector<std::string> out;
    for (const Shortcut& s : links) {
        out.push_back(s.target + ", " + s.linkFile + ", " + s.workingFolder + ", " + s.iconFile + ", " +
                      std::to_string(s.iconIndex));
    }
    return out;
}

TEST(Shortcuts, DesktopPointsAtTheProgramWithItsIconIndex) {
    ShortcutInputs noProgram = toolInputs();
    noProgram.progExe.clear();
    noProgram.progLink.clear();
    EXPECT_EQ(lines({desktopShortcut("C:\\Desk\\", toolInputs()), desktopShortcut("C:\\Desk\\", noProgram)}),
              (std::vector<std::string>{
                  "C:\\Apps\\Tool\\tool.exe, C:\\Desk\\Tool.lnk, C:\\Apps\\Tool\\, |, -56",
                  "C:\\Apps\\Tool\\, C:\\Desk\\.lnk, C:\\Apps\\Tool\\, |, -56"}));
}

TEST(Shortcuts, StartMenuMakesEachRequestedLinkInOrder) {
    ShortcutInputs in = toolInputs();
    in.exe = "bin\\conf.ig.exe";
    in.help = "docs\\tool.chm";
    in.url = "https://tool.example/";
    in.unistall = 1;
    in.helpName = "Read me";
    EXPECT_EQ(lines(startMenuShortcuts(in)),
              (std::vector<std::string>{
                  "C:\\Apps\\Tool\\tool.exe, C:\\Menu\\Tool\\Tool.lnk, C:\\Apps\\Tool\\, |, -56",
                  "C:\\Apps\\Tool\\bin\\conf.ig.exe, C:\\Menu\\Tool\\conf.lnk, C:\\Apps\\Tool\\bin\\, |, 0",
                  "C:\\Apps\\Tool\\docs\\tool.chm, C:\\Menu\\Tool\\Read me.lnk, C:\\Apps\\Tool\\, |, 0",
                  "https://tool.example/, C:\\Menu\\Tool\\Homepage.lnk, , C:\\WINDOWS\\system32\\url.dll, 0",
                  "C:\\Apps\\Tool\\Uninstall.exe, C:\\Menu\\Tool\\Uninstall.lnk, C:\\Apps\\Tool\\, |, 0"}));
    // Only what is asked for: the uninstaller for any value but 0.
    in = toolInputs();
    EXPECT_EQ(startMenuShortcuts(in).size(), 1u);
    in.progExe.clear();
    EXPECT_TRUE(startMenuShortcuts(in).empty());
    in.unistall = 2;
    ASSERT_EQ(startMenuShortcuts(in).size(), 1u);
    EXPECT_EQ(startMenuShortcuts(in)[0].linkFile, "C:\\Menu\\Tool\\Uninstall.lnk");
}

}  // namespace
}  // namespace brindle
