#include <gtest/gtest.h>

#include <map>
#include <tuple>

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

// Appending puts the program-files folder in front of a plain path, not of a
// drive-letter path; macros are replaced exactly (case counts) and in order,
// one "%" is no macro and a folder that is not found removes its macro.
TEST(Expand, MacrosAndTheProgramFilesFolder) {
    const std::tuple<const char*, bool, const char*> rows[] = {
        {"D:\\Tools\\%Windows%", true, "D:\\Tools\\%Windows%"}, {"D:\\Tools\\%Windows%", false, "D:\\Tools\\%Windows%"},
        {"MyApp", true, "C:\\Program Files\\MyApp"},          {"MyApp", false, "MyApp"},
        {"", true, "C:\\Program Files\\"},                    {"50%Off", true, "C:\\Program Files\\50%Off"},
        {"%ProgramFiles%\\App", true, "C:\\Program Files\\\\App"}, {"%windows%\\x", false, "%windows%\\x"},
        {"%System%%Fonts%", false, "C:\\Windows\\system32\\C:\\Windows\\Fonts\\"},
        {"%AppData%a;%AppData%b", false, "C:\\Users\\ann\\AppData\\a;C:\\Users\\ann\\AppData\\b"},
        {"%Vantrel%bin\\", true, "bin\\"},
    };
    for (const auto& [path, append, expanded] : rows) EXPECT_EQ(expand(path, append, fakeFolder), expanded) << path;
}

TEST(Expand, ReplacementsAreNotScannedAgain) {
    const auto loops = [](int code) { return code == kWindowsFolder ? std::string("%Windows%\\") : std::string(); };
    EXPECT_EQ(expand("%Windows%%Windows%", false, loops), "%Windows%\\%Windows%\\");
}

}  // namespace
}  // namespace brindle
