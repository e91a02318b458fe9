#include <gtest/gtest.h>

#include <tuple>

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "temp_folder.h"
#include "wizard/version_dialog_texts.h"
#include "wizard/version_summary.h"

namespace brindle {
namespace {

TEST(VersionSummary, MissingValuesLeaveNoEmptyFields) {
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"1.2.0.7", "Shared Library", "English (United States)", "1.2.0.7|Shared Library|English (United States)"},
        {"", "Shared Library", "German", "Shared Library|German"}, {"1.2", "", "English", "1.2|English"},
        {"1.2", "Tool", "", "1.2|Tool"}, {"", "", "English", "English"}, {"", "", "", ""}};
    for (const auto& [version, description, language, summary] : rows)
        EXPECT_EQ(joinVersionSummary(version, description, language), summary);
}

// Version, description and language as one line.
std::string shown(const VersionLines& lines) {
    return lines.version + " / " + lines.description + " / " + lines.language;
}

TEST(VersionSummary, LinesReadTheSummaryByPosition) {
    const LanguageTexts texts("Tool", "");
    const std::string time = creationTimeText(2024, 3, 5, 14, 7);
    EXPECT_EQ(time, "2024-03-05  14:07");  // zero-padded, two spaces
    EXPECT_EQ(shown(versionLines("1.2.0.7|Shared Library|English (United States)", time, texts)),
              "1.2.0.7 / Shared Library / English (United States)");
    // Without a FileVersion the values move forward one field each.
    EXPECT_EQ(shown(versionLines(joinVersionSummary("", "Shared Library", "English"), time, texts)),
              "Shared Library / English / --- not available ---");
    EXPECT_EQ(shown(versionLines("3.0", time, texts)), "3.0 / --- not available --- / --- not available ---");
    // No version: the creation time, unless that could not be read either.
    EXPECT_EQ(shown(versionLines("", time, texts)), time + " / --- not available --- / --- not available ---");
    EXPECT_EQ(versionLines("", "", texts).version, "--- not available ---");
    EXPECT_EQ(creationTimeText(1601, 1, 1, 0, 0), "1601-01-01  00:00");

    test::TempFolder folder;
    test::writeText(folder.path() / "german.lng", "[FileVersion]\nNotAvailable=--- nicht vorhanden ---\n");
    LanguageTexts german("Tool", "");
    PreferenceFile ini;
    german.load(ini, (folder.path() / "german.lng").string());
    EXPECT_EQ(shown(versionLines("", time, german)), time + " / --- nicht vorhanden --- / --- nicht vorhanden ---");
}

// Unattended, the dialog keeps the newer file: by version where both have
// one, compared part by part as numbers, otherwise by last-write time.
TEST(VersionSummary, NewerFileByVersionElseByTime) {
    const struct {
        const char* summary;
        std::uint64_t modified;
        const char* other;
        std::uint64_t otherModified;
        bool newer;
    } rows[] = {
        {"1.10.0.0|Tool|English", 1, "1.9.0.0|Tool|English", 2, true},
        {"1.9.0.0", 2, "1.10.0.0", 1, false},
        {"2, 0, 0, 1", 1, "2.0.0.0", 1, true},
        {"2.0", 1, "2.0.0.0", 2, false},  // equal versions: the file there stays
        {"2.0.0.1", 1, "2.0", 2, true},
        {"Shared Library|English", 2, "1.0|English", 1, true},  // a version on one side only: by time
        {"", 1, "", 2, false},
        {"", 3, "", 2, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(isNewerFile(row.summary, row.modified, row.other, row.otherModified), row.newer)
            << row.summary << " against " << row.other;
}

TEST(VersionDialogTexts, CaptionNamesTheNewFileWithoutItsFolder) {
    const LanguageTexts texts("Tool", "");
    EXPECT_EQ(versionDialogCaption("C:\\Users\\me\\Temp\\Brindle\\shared.dll", texts), " Copy File  'shared.dll'");
    EXPECT_EQ(versionDialogCaption("shared.dll", texts), " Copy File  'shared.dll'");
    EXPECT_EQ(versionDialogCaption("C:\\Temp\\Brindle\\sub/my tool.exe", texts), " Copy File  'my tool.exe'");
    EXPECT_EQ(versionDialogCaption("C:\\Temp\\", texts), " Copy File  ''");
}

}  // namespace
}  // namespace brindle
