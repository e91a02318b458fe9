#include <gtest/gtest.h>

#include <tuple>

#include "package/package_format.h"
#include "package/package_reader.h"
#include "package/packed_block.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

using test::fileItem;

class PackageReaderTest : public ::testing::Test {
protected:
    std::filesystem::path write(const char* name, const std::vector<test::Item>& items,
                                const std::string& prefix = "") {
        test::writePackage(folder.path() / name, items, prefix);
        return folder.path() / name;
    }
    static std::vector<test::Item> sampleItems() {
        return {test::folderItem("docs\\"), fileItem("docs\\readme.txt", std::string(3000, 'r') + "end"),
                fileItem("setup.ini", "[Info]\r\nTitel = Tool\r\n"), fileItem("empty.dat", "")};
    }
    // Enough entries that the directory is packed.
    static std::vector<test::Item> manyItems() {
        std::vector<test::Item> items;
        for (int i = 0; i < 40; ++i) items.push_back(fileItem("bin\\plugin-" + std::to_string(i) + ".dll", "x"));
        return items;
    }

    test::TempFolder folder;
    test::OpenPackage package;
    const PackageReader& reader = package.reader;
};

TEST_F(PackageReaderTest, ReadsWhatTheWriterWroteAlsoBehindAnImage) {
    ASSERT_EQ(package.read(write("a.pck", sampleItems())), PackageRead::Read);
    const auto& entries = reader.entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "docs\\");
    EXPECT_EQ(entries[0].kind, kFolderEntry);
    EXPECT_EQ(entries[1].name, "docs\\readme.txt");
    EXPECT_EQ(entries[1].size, 3003);
    EXPECT_LT(entries[1].storedSize, entries[1].size);  // repetitive: packed
    EXPECT_EQ(entries[1].created, 0x01D9000000000000ULL);
    EXPECT_EQ(entries[1].modified, 0x01DA000000000000ULL);
    EXPECT_EQ(entries[3].size, 0);
    EXPECT_EQ(entries[3].storedSize, 0);
    // Blocks lie back to back from the data start; behind an image only the offsets move.
    EXPECT_EQ(entries[1].offset, 0);
    EXPECT_EQ(entries[2].offset, entries[1].storedSize);
    EXPECT_EQ(reader.dataStart(), 0u);
    const std::string image(4096 + 17, 'M');
    test::OpenPackage opened;
    ASSERT_EQ(opened.read(write("setup.exe", sampleItems(), image), PackageFile::Installer), PackageRead::Read);
    const PackageReader& appended = opened.reader;
    EXPECT_EQ(appended.dataStart(), image.size());
    ASSERT_EQ(appended.entries().size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(appended.entries()[i].name, entries[i].name);
        EXPECT_EQ(appended.entries()[i].storedSize, entries[i].storedSize);
        EXPECT_EQ(std::int64_t(appended.entries()[i].offset) - entries[i].offset, std::int64_t(image.size()));
    }
}

TEST_F(PackageReaderTest, DirectoryIsPackedOnlyWhenThatIsSmaller) {
    // No entries: the four bytes of the count, stored raw.
    EXPECT_EQ(package.read(write("none.pck", {})), PackageRead::Read);
    EXPECT_TRUE(reader.entries().empty());
    auto bytes = test::readBytes(folder.path() / "none.pck");
    ASSERT_EQ(bytes.size(), 4u + kTrailerSize);
    EXPECT_EQ(loadLe32(&bytes[4]), 4u);
    EXPECT_EQ(loadLe32(&bytes[8]), 4u);

    ASSERT_EQ(package.read(write("many.pck", manyItems())), PackageRead::Read);
    EXPECT_EQ(reader.entries().size(), 40u);
    bytes = test::readBytes(folder.path() / "many.pck");
    const std::uint8_t* trailer = &bytes[bytes.size() - kTrailerSize];
    const std::uint32_t unpacked = loadLe32(trailer), stored = loadLe32(trailer + 4);
    EXPECT_LT(stored, unpacked);
    EXPECT_EQ(bytes[bytes.size() - kTrailerSize - stored], 'J') << "the block right in front of the trailer";
}

TEST_F(PackageReaderTest, FilesWithoutASoundPackageGiveNoEntries) {
    const std::filesystem::path good = write("good.pck", manyItems());
    const auto bytes = test::readBytes(good);
    const std::uint32_t directorySize = loadLe32(&bytes[bytes.size() - 12]);
    const auto changed = [&](std::size_t at, std::uint32_t value, std::size_t width = 4) {
        auto copy = bytes;
        for (std::size_t i = 0; i < width; ++i) copy[at + i] = std::uint8_t(value >> (8 * i));
        return copy;
    };
    const std::size_t trailer = bytes.size() - kTrailerSize, inDirectory = trailer - directorySize / 2;
    using enum PackageRead;
    const std::tuple<const char*, std::vector<std::uint8_t>, PackageRead> files[] = {
        {"empty", {}, NoPackage},
        {"text", test::bytesOf("just some text, long enough for a trailer"), NoPackage},
        {"directory larger than the file", changed(trailer + 4, std::uint32_t(bytes.size())), DirectoryDamaged},
        {"data start behind the directory", changed(trailer + 8, std::uint32_t(bytes.size())), DirectoryDamaged},
        {"absurd unpacked directory size", changed(trailer, 0xFFFFFFF0u), DirectoryDamaged},
        {"damaged packed directory", changed(inDirectory, bytes[inDirectory] ^ 0x5A, 1), DirectoryDamaged},
    };
    for (const auto& [name, content, expected] : files) {
        ASSERT_EQ(package.read(good), Read);
        test::writeBytes(folder.path() / name, content);
        EXPECT_EQ(package.read(folder.path() / name), expected) << name;
        EXPECT_TRUE(reader.entries().empty()) << name;
    }
}

TEST(DirectoryFormat, EntriesRunningPastTheEndAreRefused) {
    std::vector<PackageEntry> entries(2);
    entries[0].name = "a.txt";
    entries[1].name = "b.txt";
    std::vector<std::uint8_t> bytes = serializeDirectory(entries);
    std::vector<PackageEntry> parsed;
    ASSERT_TRUE(parseDirectory(bytes.data(), bytes.size(), parsed));
    EXPECT_EQ(parsed.size(), 2u);
    EXPECT_FALSE(parseDirectory(bytes.data(), bytes.size() - 1, parsed));
    storeLe32(bytes.data(), 3);  // one entry more than the bytes hold
    EXPECT_FALSE(parseDirectory(bytes.data(), bytes.size(), parsed));
    storeLe32(bytes.data(), 0xFFFFFFFFu);
    EXPECT_FALSE(parseDirectory(bytes.data(), bytes.size(), parsed));
}

}  // namespace
}  // namespace brindle
