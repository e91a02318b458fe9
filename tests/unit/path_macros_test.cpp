#include <gtest/gtest.h>

#include <map>

#include "config/path_macros.h"

namespace brindle {
namespace {

std::string fakeFolder(int code) {
    static const std::map<int, std::string> folders = {
        {kProgramFilesFolder, "C:\\Program Files\\"}, {kWindowsFolder, "C:\\Windows\\"},
        {kSystemFolder, "C:\\Windows\\system32\\"}, {kFontsFolder, "C:\\Windows\\Fonts\\"},
        {kAppDataFolder, "C:\\Users\\ann\\AppData\\"}};
    const auto found = folders.find(code);
    return found == folders.end() ? std::string() : found->second;
}

TEST(Expand, AppendingPutsProgramFilesInFrontOfPlainPaths) {
    // Drive-letter paths stay as they are.
    EXPECT_EQ(expand("D:\\Tools\\%Windows%", true, fakeFolder), "D:\\Tools\\%Windows%");
    EXPECT_EQ(expand("D:\\Tools\\%Windows%", false, fakeFolder), "D:\\Tools\\%Windows%");
    EXPECT_EQ(expand("MyApp", true, fakeFolder), "C:\\Program Files\\MyApp");
    EXPECT_EQ(expand("MyApp", false, fakeFolder), "MyApp");
    EXPECT_EQ(expand("", true, fakeFolder), "C:\\Program Files\\");
    EXPECT_EQ(expand("50%Off", true, fakeFolder), "C:\\Program Files\\50%Off");  // one "%" is no macro
}

TEST(Expand, MacrosAreReplacedExactlyAndInOrder) {
    EXPECT_EQ(expand("%ProgramFiles%\\App", true, fakeFolder), "C:\\Program Files\\\\App");
    EXPECT_EQ(expand("%windows%\\x", false, fakeFolder), "%windows%\\x");
    EXPECT_EQ(expand("%System%%Fonts%", false, fakeFolder), "C:\\Windows\\system32\\C:\\Windows\\Fonts\\");
    EXPECT_EQ(expand("%AppData%a;%AppData%b", false, fakeFolder),
              "C:\\Users\\ann\\AppData\\a;C:\\Users\\ann\\AppData\\b");
    // A folder that is not found removes its macro.
    EXPECT_EQ(expand("%Vantrel%bin\\", true, fakeFolder), "bin\\");
}

TEST(Expand, ReplacementsAreNotScannedAgain) {
    const auto loops = [](int code) { return code == kWindowsFolder ? std::string("%Windows%\\") : std::string(); };
    EXPECT_EQ(expand("%Windows%%Windows%", false, loops), "%Windows%\\%Windows%\\");
}

}  // namespace
}  // namespace brindle
