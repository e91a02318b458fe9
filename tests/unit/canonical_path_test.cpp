#include <gtest/gtest.h>

#include <map>

#include "toolkit/canonical_path.h"

namespace brindle {
namespace {

// Spellings of one folder that the platform opens alike, and what is no
// path of a drive or share at all.
TEST(CanonicalPath, SpellingsOfOneFolder) {
    const struct {
        const char* written;
        const char* canonical;
    } rows[] = {
        {"C:\\Program Files\\\\App", "C:\\Program Files\\App\\"},
        {"C:\\Program Files\\App\\", "C:\\Program Files\\App\\"},
        {"c:/program files//App/", "C:\\program files\\App\\"},
        {"C:\\Apps\\.\\Tool\\.", "C:\\Apps\\Tool\\"},
        {"C:\\Apps\\Old\\..\\Tool", "C:\\Apps\\Tool\\"},
        {"C:\\Apps\\..\\..\\..\\Tool", "C:\\Tool\\"},
        {"C:\\Apps\\..", "C:\\"},
        {"C:\\Apps.\\Tool. ", "C:\\Apps\\Tool\\"},
        {"C:\\Apps\\...\\Tool", "C:\\Apps\\...\\Tool\\"},
        {"C:\\", "C:\\"},
        {"C:\\\\\\", "C:\\"},
        {"\\\\server\\share\\\\Tool\\", "\\\\server\\share\\Tool\\"},
        {"//server/share/Tool", "\\\\server\\share\\Tool\\"},
        {"\\\\server\\share\\..\\..\\x", "\\\\server\\share\\x\\"},
        {"Apps\\Tool", "Apps\\Tool\\"},
        {"\\Apps", "\\Apps\\"},
        {"C:Apps", "C:Apps\\"},
        {"", "\\"},
    };
    for (const auto& row : rows) EXPECT_EQ(canonicalFolder(row.written), row.canonical) << row.written;
    EXPECT_EQ(canonicalPath("C:\\Apps\\\\Tool\\tool.exe"), "C:\\Apps\\Tool\\tool.exe");
    EXPECT_EQ(canonicalPath("C:\\Apps\\Tool\\"), "C:\\Apps\\Tool\\");
    EXPECT_TRUE(samePathText("\"C:\\Program Files\\\\App\\tool.exe\"", "c:\\PROGRAM FILES\\app\\tool.exe"));
    EXPECT_FALSE(samePathText("C:\\Program Files\\App\\tool.exe", "C:\\Program Files\\App2\\tool.exe"));
}

// Short names become long ones as far as the folder exists; the part that
// does not exist yet stays as written.
TEST(CanonicalPath, LongFormOfTheExistingPart) {
    const std::map<std::string, std::string> existing = {
        {"C:\\PROGRA~1", "C:\\Program Files"}, {"C:\\PROGRA~1\\VENDOR~1", "C:\\Program Files\\Vendor Tools"}};
    const LongForm longForm = [&](const std::string& path) {
        const auto found = existing.find(path);
        return found == existing.end() ? std::string() : found->second;
    };
    const struct {
        const char* written;
        const char* canonical;
    } rows[] = {
        {"C:\\PROGRA~1\\VENDOR~1", "C:\\Program Files\\Vendor Tools\\"},
        {"C:\\PROGRA~1\\VENDOR~1\\New\\Sub\\", "C:\\Program Files\\Vendor Tools\\New\\Sub\\"},
        {"C:/PROGRA~1//New", "C:\\Program Files\\New\\"},
        {"C:\\NEWDIR~1\\x", "C:\\NEWDIR~1\\x\\"},
        {"C:\\", "C:\\"},
    };
    for (const auto& row : rows) EXPECT_EQ(canonicalFolder(row.written, longForm), row.canonical) << row.written;
}

}  // namespace
}  // namespace brindle
