#include <gtest/gtest.h>

#include "config/language_texts.h"
#include "install/progress_lines.h"

namespace brindle {
namespace {

TEST(ProgressLines, CopyLineSaysCompletedOnlyWhenEverythingWentWell) {
    const LanguageTexts texts("Tool", "");
    EXPECT_EQ(copyingLine(texts), "Copy Program Files .....");
    const std::vector<ExtractOutcome> fine = {ExtractOutcome::FolderMade, ExtractOutcome::Written,
                                              ExtractOutcome::Kept};
    EXPECT_TRUE(copyCompleted(true, fine));
    EXPECT_TRUE(copyCompleted(true, {}));
    EXPECT_FALSE(copyCompleted(false, {}));  // no package
    EXPECT_EQ(copiedLine(texts, true), "Copy Program Files   -->   *** Completed ***");
    EXPECT_EQ(copiedLine(texts, false), "Copy Program Files   -->   *** Failed: files could not be written ***");
    for (ExtractOutcome bad : {ExtractOutcome::UnsafeName, ExtractOutcome::Damaged, ExtractOutcome::Truncated,
                               ExtractOutcome::WriteFailed, ExtractOutcome::UnknownKind}) {
        std::vector<ExtractOutcome> outcomes = fine;
        outcomes.push_back(bad);
        EXPECT_FALSE(copyCompleted(true, outcomes));
    }
}

}  // namespace
}  // namespace brindle
