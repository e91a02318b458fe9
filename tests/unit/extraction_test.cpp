#include <gtest/gtest.h>

#include <sys/stat.h>

#include "package/extraction.h"
#include "toolkit/file_paths.h"
#include "package/package_format.h"
#include "package/packed_block.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

using test::fileItem;
using test::folderItem;
namespace fs = std::filesystem;

std::string textOf(const fs::path& path) {
    const auto bytes = test::readBytes(path);
    return {bytes.begin(), bytes.end()};
}

class Extraction : public ::testing::Test {
protected:
    // Packs `items`, reads the package and extracts it into the destination.
    std::vector<ExtractOutcome> extract(const std::vector<test::Item>& items, const std::string& keep = "") {
        test::writePackage(source.path() / "p.pck", items);
        EXPECT_TRUE(reader.readDirectory((source.path() / "p.pck").string()));
        return extractAll(reader, destination.corePath(), keep);
    }
    // Extracts a package whose bytes were changed by `damage` after writing.
    template <typename Damage>
    std::vector<ExtractOutcome> extractDamaged(const std::vector<test::Item>& items, Damage damage) {
        test::writePackage(source.path() / "p.pck", items);
        EXPECT_TRUE(reader.readDirectory((source.path() / "p.pck").string()));
        auto bytes = test::readBytes(source.path() / "p.pck");
        damage(bytes, reader.entries());
        test::writeBytes(source.path() / "p.pck", bytes);
        return extractAll(reader, destination.path().string(), "");
    }

    test::TempFolder source, destination;
    PackageReader reader;
};

TEST_F(Extraction, WritesFoldersFilesAndTimes) {
    const std::string big(100000, 'z');
    test::Item farFuture = fileItem("zero.txt", "");
    farFuture.modified = 0x8000000000000000ULL;  // above the signed range
    const auto outcomes = extract({folderItem("sub\\"), fileItem("sub\\inner\\deep.txt", "deep"),
                                   fileItem("top.bin", big), farFuture});
    EXPECT_EQ(outcomes, (std::vector<ExtractOutcome>{ExtractOutcome::FolderMade, ExtractOutcome::Written,
                                                     ExtractOutcome::Written, ExtractOutcome::Written}));
    EXPECT_EQ(textOf(destination.path() / "sub/inner/deep.txt"), "deep");
    EXPECT_EQ(textOf(destination.path() / "top.bin"), big);
    EXPECT_TRUE(fs::is_regular_file(destination.path() / "zero.txt"));
    EXPECT_EQ(fs::file_size(destination.path() / "zero.txt"), 0u);

    struct stat info{};
    ASSERT_EQ(stat((destination.path() / "top.bin").c_str(), &info), 0);
    const std::int64_t expectedSeconds = (0x01DA000000000000LL - 116444736000000000LL) / 10000000;
    EXPECT_EQ(info.st_mtim.tv_sec, expectedSeconds);
    ASSERT_EQ(stat((destination.path() / "zero.txt").c_str(), &info), 0);
    EXPECT_GT(info.st_mtim.tv_sec, expectedSeconds);  // the file system may clamp it, never wrap it
}

TEST_F(Extraction, KeepListProtectsExistingFilesOnly) {
    fs::create_directories(destination.path());
    test::writeBytes(destination.path() / "setup.ini", test::bytesOf("mine"));
    test::writeBytes(destination.path() / "old.txt", test::bytesOf("old"));
    const auto outcomes = extract({fileItem("setup.ini", "[new]"), fileItem("fresh.ini", "fresh"),
                                   fileItem("old.txt", "replaced")},
                                  "ini|");
    EXPECT_EQ(outcomes[0], ExtractOutcome::Kept);
    EXPECT_EQ(textOf(destination.path() / "setup.ini"), "mine");
    EXPECT_EQ(textOf(destination.path() / "fresh.ini"), "fresh");       // no file in the way
    EXPECT_EQ(textOf(destination.path() / "old.txt"), "replaced");      // the next block read correctly
}

TEST_F(Extraction, KeepListItemsAreExactAndCounted) {
    test::writeBytes(destination.path() / "a.ini", test::bytesOf("A"));
    test::writeBytes(destination.path() / "b.cfg", test::bytesOf("B"));
    test::writeBytes(destination.path() / "c.INI", test::bytesOf("C"));
    // One "|": only the first item counts; case matters.
    extract({fileItem("a.ini", "new"), fileItem("b.cfg", "new"), fileItem("c.INI", "new")}, "ini|cfg");
    EXPECT_EQ(textOf(destination.path() / "a.ini"), "A");
    EXPECT_EQ(textOf(destination.path() / "b.cfg"), "new");
    EXPECT_EQ(textOf(destination.path() / "c.INI"), "new");
}

TEST_F(Extraction, LongKeepListsWork) {
    std::string keep;
    for (int i = 0; i < 300; ++i) keep += "x" + std::to_string(i) + "|";
    keep += "ini|";
    test::writeBytes(destination.path() / "a.ini", test::bytesOf("A"));
    extract({fileItem("a.ini", "new")}, keep);
    EXPECT_EQ(textOf(destination.path() / "a.ini"), "A");
}

TEST_F(Extraction, KeptEmptyFileStaysUntouched) {
    test::writeBytes(destination.path() / "user.ini", test::bytesOf("settings"));
    extract({fileItem("user.ini", ""), fileItem("after.txt", "after")}, "ini|");
    EXPECT_EQ(textOf(destination.path() / "user.ini"), "settings");
    EXPECT_EQ(textOf(destination.path() / "after.txt"), "after");
}

TEST_F(Extraction, UnsafeNamesAreNotWrittenAndDataArePassed) {
    const fs::path outside = source.path() / "escaped.txt";
    const auto outcomes =
        extract({fileItem("..\\escaped.txt", "evil"), fileItem("/abs.txt", "evil"), fileItem("C:\\x.txt", "evil"),
                 fileItem("a.txt:stream", "evil"), fileItem("\\\\server\\share\\x", "evil"),
                 fileItem("sub\\..\\..\\escaped.txt", "evil"), folderItem("..\\up\\"), fileItem("good.txt", "good")});
    for (std::size_t i = 0; i + 1 < outcomes.size(); ++i) EXPECT_EQ(outcomes[i], ExtractOutcome::UnsafeName) << i;
    EXPECT_EQ(outcomes.back(), ExtractOutcome::Written);
    EXPECT_EQ(textOf(destination.path() / "good.txt"), "good");
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_FALSE(fs::exists(destination.path().parent_path() / "up"));
}

TEST_F(Extraction, DamagedBlockLeavesTheExistingFile) {
    test::writeBytes(destination.path() / "lib.dll", test::bytesOf("working"));
    const auto outcomes = extractDamaged(
        {fileItem("lib.dll", std::string(5000, 'q') + "tail"), fileItem("next.txt", std::string(500, 'n'))},
        [](std::vector<std::uint8_t>& bytes, const std::vector<PackageEntry>& entries) {
            ASSERT_NE(entries[0].storedSize, entries[0].size);
            bytes[std::size_t(entries[0].offset) + 6] ^= 1;  // the checksum field
        });
    EXPECT_EQ(outcomes[0], ExtractOutcome::Damaged);
    EXPECT_EQ(textOf(destination.path() / "lib.dll"), "working");
    EXPECT_EQ(outcomes[1], ExtractOutcome::Written);
    EXPECT_EQ(textOf(destination.path() / "next.txt"), std::string(500, 'n'));
}

TEST_F(Extraction, TruncatedPackageWritesNothingItDidNotRead) {
    const auto outcomes = extractDamaged(
        {fileItem("first.txt", "first"), fileItem("second.txt", "second, stored raw")},
        [](std::vector<std::uint8_t>&, const std::vector<PackageEntry>&) {});
    ASSERT_EQ(outcomes[1], ExtractOutcome::Written);

    // The directory claims a block far longer than the data in front of it.
    test::writePackage(source.path() / "p.pck", {fileItem("first.txt", "first"), fileItem("second.txt", "second")});
    ASSERT_TRUE(reader.readDirectory((source.path() / "p.pck").string()));
    std::vector<PackageEntry> entries = reader.entries();
    entries[0].storedSize = entries[0].size = 1 << 20;
    const std::vector<std::uint8_t> directory = serializeDirectory(entries);
    std::vector<std::uint8_t> bytes = test::readBytes(source.path() / "p.pck");
    const std::size_t dataLength = std::size_t(entries[1].offset) + std::size_t(reader.entries()[1].storedSize);
    bytes.resize(dataLength);
    bytes.insert(bytes.end(), directory.begin(), directory.end());
    std::uint8_t trailer[kTrailerSize];
    encodeTrailer({std::uint32_t(directory.size()), std::uint32_t(directory.size()), 0}, trailer);
    bytes.insert(bytes.end(), trailer, trailer + kTrailerSize);
    test::writeBytes(source.path() / "p.pck", bytes);
    fs::remove_all(destination.path() / "first.txt");
    fs::remove_all(destination.path() / "second.txt");

    ASSERT_TRUE(reader.readDirectory((source.path() / "p.pck").string()));
    const auto truncated = extractAll(reader, destination.path().string(), "");
    EXPECT_EQ(truncated, (std::vector<ExtractOutcome>{ExtractOutcome::Truncated, ExtractOutcome::Truncated}));
    EXPECT_FALSE(fs::exists(destination.path() / "first.txt"));
    EXPECT_FALSE(fs::exists(destination.path() / "second.txt"));
}

TEST_F(Extraction, UnwritableFileIsSkippedAndTheRestGoesOn) {
    fs::create_directories(destination.path() / "blocked.txt");  // a folder in the way
    const auto outcomes = extract({fileItem("blocked.txt", "x"), fileItem("fine.txt", "fine")});
    EXPECT_EQ(outcomes[0], ExtractOutcome::WriteFailed);
    EXPECT_EQ(textOf(destination.path() / "fine.txt"), "fine");
}

TEST(FolderChain, CreatesEveryFolderUpToTheLastBackslash) {
    test::TempFolder folder;
    createFolderChain(folder.corePath() + "a\\b\\c \\file-not-a-folder");
    EXPECT_TRUE(fs::is_directory(folder.path() / "a" / "b" / "c"));  // trailing blank dropped
    EXPECT_FALSE(fs::exists(folder.path() / "a" / "b" / "c" / "file-not-a-folder"));
}

TEST(FileExists, IgnoresATrailingBackslash) {
    test::TempFolder folder;
    EXPECT_TRUE(fileExists(folder.corePath()));
    EXPECT_TRUE(fileExists(folder.path().string()));
    EXPECT_FALSE(fileExists(folder.corePath() + "nothing\\"));
}

}  // namespace
}  // namespace brindle
