#include <gtest/gtest.h>

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "temp_folder.h"
#include "wizard/version_dialog_texts.h"
#include "wizard/version_summary.h"

namespace brindle {
namespace {

constexpr char kNotAvailable[] = "--- not available ---";

TEST(VersionSummary, MissingValuesLeaveNoEmptyFields) {
    EXPECT_EQ(joinVersionSummary("1.2.0.7", "Shared Library", "English (United States)"),
              "1.2.0.7|Shared Library|English (United States)");
    EXPECT_EQ(joinVersionSummary("", "Shared Library", "German"), "Shared Library|German");
    EXPECT_EQ(joinVersionSummary("1.2", "", "English"), "1.2|English");
    EXPECT_EQ(joinVersionSummary("1.2", "Tool", ""), "1.2|Tool");
    EXPECT_EQ(joinVersionSummary("", "", "English"), "English");
    EXPECT_EQ(joinVersionSummary("", "", ""), "");
}

TEST(VersionSummary, LinesReadTheSummaryByPosition) {
    const LanguageTexts texts("Tool", "");
    const VersionLines full = versionLines("1.2.0.7|Shared Library|English (United States)", "2024-03-05  14:07",
                                           texts);
    EXPECT_EQ(full.version, "1.2.0.7");
    EXPECT_EQ(full.language, "English (United States)");
    EXPECT_EQ(full.description, "Shared Library");

    // Without a FileVersion the values move forward one field each.
    const VersionLines described = versionLines(joinVersionSummary("", "Shared Library", "English"), "x", texts);
    EXPECT_EQ(described.version, "Shared Library");
    EXPECT_EQ(described.description, "English");
    EXPECT_EQ(described.language, kNotAvailable);

    const VersionLines versionOnly = versionLines("3.0", "2024-03-05  14:07", texts);
    EXPECT_EQ(versionOnly.version, "3.0");
    EXPECT_EQ(versionOnly.language, kNotAvailable);
    EXPECT_EQ(versionOnly.description, kNotAvailable);
}

TEST(VersionSummary, NoVersionShowsTheCreationTime) {
    const LanguageTexts texts("Tool", "");
    const VersionLines none = versionLines("", "2024-03-05  14:07", texts);
    EXPECT_EQ(none.version, "2024-03-05  14:07");
    EXPECT_EQ(none.language, kNotAvailable);
    EXPECT_EQ(none.description, kNotAvailable);
    EXPECT_EQ(versionLines("", "", texts).version, kNotAvailable);  // the time could not be read either
}

TEST(VersionSummary, NotAvailableComesFromTheLanguageFile) {
    test::TempFolder folder;
    test::writeBytes(folder.path() / "german.lng",
                     test::bytesOf("[FileVersion]\nNotAvailable=--- nicht vorhanden ---\n"));
    LanguageTexts texts("Tool", "");
    PreferenceFile ini;
    texts.load(ini, (folder.path() / "german.lng").string());
    const VersionLines none = versionLines("", "2024-03-05  14:07", texts);
    EXPECT_EQ(none.language, "--- nicht vorhanden ---");
    EXPECT_EQ(none.description, "--- nicht vorhanden ---");
}

TEST(VersionDialogTexts, CreationTimeIsZeroPaddedWithTwoSpaces) {
    EXPECT_EQ(creationTimeText(2024, 3, 5, 14, 7), "2024-03-05  14:07");
    EXPECT_EQ(creationTimeText(1601, 1, 1, 0, 0), "1601-01-01  00:00");
    EXPECT_EQ(creationTimeText(2031, 12, 31, 23, 59), "2031-12-31  23:59");
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
