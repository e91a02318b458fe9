#include <gtest/gtest.h>

#include "package/package_format.h"
#include "package/package_reader.h"
#include "package/packed_block.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

using test::fileItem;
using test::folderItem;

std::vector<test::Item> sampleItems() {
    return {folderItem("docs\\"), fileItem("docs\\readme.txt", std::string(3000, 'r') + "end"),
            fileItem("setup.ini", "[Info]\r\nTitel = Tool\r\n"), fileItem("empty.dat", "")};
}

TEST(PackageReader, ReadsWhatTheWriterWrote) {
    test::TempFolder folder;
    const auto path = folder.path() / "a.pck";
    test::writePackage(path, sampleItems());
    PackageReader reader;
    ASSERT_TRUE(reader.readDirectory(path.string()));
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
    // Blocks lie back to back from the data start.
    EXPECT_EQ(entries[1].offset, 0);
    EXPECT_EQ(entries[2].offset, entries[1].storedSize);
    EXPECT_EQ(reader.dataStart(), 0u);
}

TEST(PackageReader, AppendedPackageShiftsOnlyTheOffsets) {
    test::TempFolder folder;
    test::writePackage(folder.path() / "plain.pck", sampleItems());
    const std::string image(4096 + 17, 'M');
    test::writePackage(folder.path() / "setup.exe", sampleItems(), image);
    PackageReader plain, appended;
    ASSERT_TRUE(plain.readDirectory((folder.path() / "plain.pck").string()));
    ASSERT_TRUE(appended.readDirectory((folder.path() / "setup.exe").string()));
    EXPECT_EQ(appended.dataStart(), image.size());
    ASSERT_EQ(plain.entries().size(), appended.entries().size());
    for (std::size_t i = 0; i < plain.entries().size(); ++i) {
        const PackageEntry& a = plain.entries()[i];
        const PackageEntry& b = appended.entries()[i];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.storedSize, b.storedSize);
        EXPECT_EQ(std::int64_t(b.offset) - a.offset, std::int64_t(image.size()));
    }
}

TEST(PackageReader, EmptyPackageHasNoEntries) {
    test::TempFolder folder;
    test::writePackage(folder.path() / "none.pck", {});
    PackageReader reader;
    EXPECT_TRUE(reader.readDirectory((folder.path() / "none.pck").string()));
    EXPECT_TRUE(reader.entries().empty());
    // Four bytes of count: stored raw, since packing cannot beat that.
    const auto bytes = test::readBytes(folder.path() / "none.pck");
    ASSERT_EQ(bytes.size(), 4u + kTrailerSize);
    EXPECT_EQ(loadLe32(&bytes[4]), 4u);
    EXPECT_EQ(loadLe32(&bytes[8]), 4u);
}

TEST(PackageReader, PacksTheDirectoryWhenThatIsSmaller) {
    test::TempFolder folder;
    std::vector<test::Item> items;
    for (int i = 0; i < 40; ++i) items.push_back(fileItem("bin\\plugin-" + std::to_string(i) + ".dll", "x"));
    test::writePackage(folder.path() / "many.pck", items);
    const auto bytes = test::readBytes(folder.path() / "many.pck");
    const std::uint8_t* trailer = &bytes[bytes.size() - kTrailerSize];
    const std::uint32_t unpacked = loadLe32(trailer), stored = loadLe32(trailer + 4);
    EXPECT_LT(stored, unpacked);
    // The directory block sits right in front of the trailer.
    EXPECT_EQ(bytes[bytes.size() - kTrailerSize - stored], 'J');
    PackageReader reader;
    ASSERT_TRUE(reader.readDirectory((folder.path() / "many.pck").string()));
    EXPECT_EQ(reader.entries().size(), 40u);
}

TEST(PackageReader, FilesWithoutPackage) {
    test::TempFolder folder;
    PackageReader reader;
    test::writePackage(folder.path() / "good.pck", sampleItems());
    ASSERT_TRUE(reader.readDirectory((folder.path() / "good.pck").string()));

    test::writeBytes(folder.path() / "empty", {});
    test::writeBytes(folder.path() / "text", test::bytesOf("just some text, long enough for a trailer"));
    for (const char* name : {"missing", "empty", "text"}) {
        EXPECT_FALSE(reader.readDirectory((folder.path() / name).string())) << name;
        EXPECT_TRUE(reader.entries().empty()) << name;
    }
    EXPECT_FALSE(reader.readDirectory(folder.path().string()));  // a folder
}

TEST(PackageReader, RefusesTrailersThatDoNotFit) {
    test::TempFolder folder;
    const auto path = folder.path() / "p.pck";
    test::writePackage(path, sampleItems());
    const auto good = test::readBytes(path);
    PackageReader reader;

    auto withField = [&](std::size_t at, std::uint32_t value) {
        auto bytes = good;
        storeLe32(&bytes[bytes.size() - kTrailerSize + at], value);
        test::writeBytes(path, bytes);
        return reader.readDirectory(path.string());
    };
    EXPECT_FALSE(withField(4, std::uint32_t(good.size())));  // directory larger than the file
    EXPECT_FALSE(withField(8, std::uint32_t(good.size())));  // data start behind the directory
    EXPECT_FALSE(withField(0, 0xFFFFFFF0u));                 // absurd unpacked size
    EXPECT_TRUE(reader.entries().empty());
}

TEST(PackageReader, RefusesDamagedDirectories) {
    test::TempFolder folder;
    const auto path = folder.path() / "p.pck";
    std::vector<test::Item> items;
    for (int i = 0; i < 30; ++i) items.push_back(fileItem("file" + std::to_string(i) + ".txt", "abc"));
    test::writePackage(path, items);
    auto bytes = test::readBytes(path);
    const std::uint32_t stored = loadLe32(&bytes[bytes.size() - 12]);
    bytes[bytes.size() - kTrailerSize - stored / 2] ^= 0x5A;  // inside the packed directory
    test::writeBytes(path, bytes);
    PackageReader reader;
    EXPECT_FALSE(reader.readDirectory(path.string()));
    EXPECT_TRUE(reader.entries().empty());
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
