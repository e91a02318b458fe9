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
    EXPECT_EQ(copiedLine(texts, true, fine), "Copy Program Files   -->   *** Completed ***");
    EXPECT_EQ(copiedLine(texts, true, {}), "Copy Program Files   -->   *** Completed ***");
    const std::string failed = "Copy Program Files   -->   *** Failed: files could not be written ***";
    EXPECT_EQ(copiedLine(texts, false, {}), failed);  // no package
    for (ExtractOutcome bad : {ExtractOutcome::UnsafeName, ExtractOutcome::Damaged, ExtractOutcome::Truncated,
                               ExtractOutcome::WriteFailed, ExtractOutcome::UnknownKind}) {
        std::vector<ExtractOutcome> outcomes = fine;
        outcomes.push_back(bad);
        EXPECT_EQ(copiedLine(texts, true, outcomes), failed);
    }
}

}  // namespace
}  // namespace brindle
