// Extraction: what each entry comes to and everything the destination then
// holds, whatever the package, the keep list or the disk does. Files are
// whole or not there: a failed write leaves the earlier file and no
// temporary file behind.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <map>

#include "package/data_cursor.h"
#include "package/entry_data.h"
#include "package/extraction.h"
#include "package/package_format.h"
#include "package/packed_block.h"
#include "temp_folder.h"
#include "test_package.h"
#include "toolkit/file_paths.h"

namespace brindle {
namespace {

using test::fileItem;
using test::folderItem;
using test::lzmaItem;
using Bytes = std::vector<std::uint8_t>;
using Outcomes = std::vector<ExtractOutcome>;
using Causes = std::map<std::size_t, int>;  // entry index: errno
namespace fs = std::filesystem;

Outcomes outcomesOf(const std::vector<ExtractResult>& results) {
    Outcomes outcomes;
    for (const ExtractResult& result : results) outcomes.push_back(result.outcome);
    return outcomes;
}

Causes causesOf(const std::vector<ExtractResult>& results) {
    Causes causes;
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i].cause.error() != 0) causes[i] = int(results[i].cause.error());
    return causes;
}

constexpr rlim_t kNoLimit = RLIM_INFINITY;
const std::string kBig(4000, 'b');

// 300 KB of lines that come again 20 KB later, beyond a 16 KiB window.
std::string farRepeats() {
    std::string text;
    for (int line = 0; text.size() < 300000; ++line) text += "line " + std::to_string(line % 1500 * 7919) + "\n";
    return text;
}

std::string noise(std::size_t length) {
    std::string bytes(length, '\0');
    std::uint32_t state = 1;
    for (char& byte : bytes) byte = char((state = state * 1103515245 + 12345) >> 23);
    return bytes;
}

// Flips a byte in the middle of the first entry's block.
void breakFirstBlockInside(Bytes& bytes, const std::vector<PackageEntry>& entries) {
    bytes[entries[0].offset + entries[0].storedSize / 2] ^= 0x40;
}

// Changes the package file after writing; the directory is read again.
using Damage = std::function<void(Bytes&, const std::vector<PackageEntry>&)>;

// The first entry's block breaks: its checksum no longer fits.
void breakFirstBlock(Bytes& bytes, const std::vector<PackageEntry>& entries) {
    ASSERT_NE(entries[0].storedSize, entries[0].size) << "a packed block";
    bytes[std::size_t(entries[0].offset) + 6] ^= 1;
}

// The directory claims a first block far longer than the data in front of it.
void claimTooMuch(Bytes& bytes, const std::vector<PackageEntry>& written) {
    std::vector<PackageEntry> entries = written;
    entries[0].storedSize = entries[0].size = 1 << 20;
    const Bytes directory = serializeDirectory(entries);
    bytes.resize(std::size_t(written[1].offset + written[1].storedSize));
    bytes.insert(bytes.end(), directory.begin(), directory.end());
    std::uint8_t trailer[kTrailerSize];
    encodeTrailer({std::uint32_t(directory.size()), std::uint32_t(directory.size()), 0}, trailer);
    bytes.insert(bytes.end(), trailer, trailer + kTrailerSize);
}

std::string longKeepList() {
    std::string keep;
    for (int i = 0; i < 300; ++i) keep.append("x").append(std::to_string(i)).append("|");
    return keep + "ini|";
}

struct Row {
    const char* what;
    test::FolderContents before;  // in the destination
    std::vector<test::Item> items;
    std::string keep;
    Outcomes outcomes;
    test::FolderContents after;  // everything the destination then holds
    rlim_t sizeLimit = kNoLimit;
    Damage damage = nullptr;
    Causes causes = {};  // the system's errors that failed entries carry
};

std::vector<Row> rows() {
    using enum ExtractOutcome;
    const std::vector<test::Item> bigAndSmall = {fileItem("big.bin", kBig), fileItem("small.txt", "small")};
    return {
        {"folders, files and an empty file", {},
         {folderItem("sub\\"), fileItem("sub\\inner\\deep.txt", "deep"), fileItem("top.bin", kBig),
          fileItem("zero.txt", "")}, "", {FolderMade, Written, Written, Written},
         {{"sub/", ""}, {"sub/inner/", ""}, {"sub/inner/deep.txt", "deep"}, {"top.bin", kBig}, {"zero.txt", ""}}},
        {"the keep list protects existing files only", {{"setup.ini", "mine"}, {"old.txt", "old"}},
         {fileItem("setup.ini", "[new]"), fileItem("fresh.ini", "fresh"), fileItem("old.txt", "replaced")}, "ini|",
         {Kept, Written, Written}, {{"setup.ini", "mine"}, {"fresh.ini", "fresh"}, {"old.txt", "replaced"}}},
        // One "|": only the first item counts; case matters.
        {"keep items are exact and counted", {{"a.ini", "A"}, {"b.cfg", "B"}, {"c.INI", "C"}},
         {fileItem("a.ini", "new"), fileItem("b.cfg", "new"), fileItem("c.INI", "new")}, "ini|cfg",
         {Kept, Written, Written}, {{"a.ini", "A"}, {"b.cfg", "new"}, {"c.INI", "new"}}},
        {"a long keep list", {{"a.ini", "A"}}, {fileItem("a.ini", "new")}, longKeepList(), {Kept}, {{"a.ini", "A"}}},
        {"a kept empty file", {{"user.ini", "settings"}}, {fileItem("user.ini", ""), fileItem("after.txt", "after")},
         "ini|", {Kept, Written}, {{"user.ini", "settings"}, {"after.txt", "after"}}},
        {"unsafe names are passed", {},
         {fileItem("..\\escaped.txt", "evil"), fileItem("/abs.txt", "evil"), fileItem("C:\\x.txt", "evil"),
          fileItem("a.txt:stream", "evil"), fileItem("\\\\server\\share\\x", "evil"),
          fileItem("sub\\..\\..\\escaped.txt", "evil"), folderItem("..\\up\\"), fileItem("good.txt", "good")},
         "", {UnsafeName, UnsafeName, UnsafeName, UnsafeName, UnsafeName, UnsafeName, UnsafeName, Written},
         {{"good.txt", "good"}}},
        {"a damaged block leaves the existing file", {{"lib.dll", "working"}},
         {fileItem("lib.dll", std::string(5000, 'q') + "tail"), fileItem("next.txt", std::string(500, 'n'))}, "",
         {Damaged, Written}, {{"lib.dll", "working"}, {"next.txt", std::string(500, 'n')}}, kNoLimit,
         breakFirstBlock},
        {"LZMA blocks stream through a window smaller than the file, raw ones in pieces", {{"old.txt", "old"}},
         {lzmaItem("old.txt", farRepeats()), lzmaItem("empty.txt", ""), fileItem("noise.bin", noise(2621440 + 3))},
         "", {Written, Written, Written},
         {{"old.txt", farRepeats()}, {"empty.txt", ""}, {"noise.bin", noise(2621440 + 3)}}},
        {"a damaged LZMA block leaves the existing file; the next entry is read from its start",
         {{"lib.dll", "working"}}, {lzmaItem("lib.dll", farRepeats()), lzmaItem("next.txt", farRepeats())}, "",
         {Damaged, Written}, {{"lib.dll", "working"}, {"next.txt", farRepeats()}}, kNoLimit, breakFirstBlockInside},
        {"a damaged block into an empty folder leaves no file", {},
         {fileItem("lib.dll", std::string(5000, 'q') + "tail"), fileItem("next.txt", std::string(500, 'n'))}, "",
         {Damaged, Written}, {{"next.txt", std::string(500, 'n')}}, kNoLimit, breakFirstBlock},
        {"a truncated package writes nothing it did not read", {},
         {fileItem("first.txt", "first"), fileItem("second.txt", "second")}, "", {Truncated, Truncated}, {}, kNoLimit,
         claimTooMuch},
        // "link" leads to the folder holding the destination, where anything
        // made through it would show.
        {"nothing is made through a link", {{"link@", ".."}, {"real/deeper@", "../.."}, {"theirs.txt", "theirs"},
                                            {"ours.txt@", "theirs.txt"}},
         {fileItem("link\\x.txt", "evil"), folderItem("link\\sub\\"), folderItem("link\\"),
          fileItem("real/deeper\\y.txt", "evil"), fileItem("ours.txt", "ours"), fileItem("real\\fine.txt", "fine")},
         "", {LinkInWay, LinkInWay, LinkInWay, LinkInWay, Written, Written},
         {{"link@", ".."}, {"real/", ""}, {"real/deeper@", "../.."}, {"theirs.txt", "theirs"}, {"ours.txt", "ours"},
          {"real/fine.txt", "fine"}}},
        {"a file in the way of a folder", {{"sub", "file"}}, {folderItem("sub\\"), fileItem("sub\\x.txt", "x")}, "",
         {FolderFailed, FolderFailed}, {{"sub", "file"}}, kNoLimit, nullptr, {{0, ENOTDIR}, {1, ENOTDIR}}},
        {"a folder in the way", {{"big.bin/", ""}}, bigAndSmall, "", {WriteFailed, Written},
         {{"big.bin/", ""}, {"small.txt", "small"}}, kNoLimit, nullptr, {{0, EISDIR}}},
        {"disk full: the earlier file stays", {{"big.bin", "earlier"}}, bigAndSmall, "", {WriteFailed, Written},
         {{"big.bin", "earlier"}, {"small.txt", "small"}}, 1000, nullptr, {{0, EFBIG}}},
        {"disk full: no file at all", {}, bigAndSmall, "", {WriteFailed, Written}, {{"small.txt", "small"}}, 1000,
         nullptr, {{0, EFBIG}}},
        {"a left temporary name is stepped over", {{"~brindle0.tmp", "stale"}, {"big.bin", "old"}}, bigAndSmall, "",
         {Written, Written}, {{"~brindle0.tmp", "stale"}, {"big.bin", kBig}, {"small.txt", "small"}}},
    };
}

// The destination is a folder inside `work`, so that a name leaving it shows.
TEST(Extraction, OutcomesAndWhatTheDestinationHolds) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.what);
        test::TempFolder source, work;
        const fs::path package = source.path() / "p.pck", destination = work.path() / "dest";
        test::writePackage(package, row.items);
        test::OpenPackage opened;
        ASSERT_EQ(opened.read(package), PackageRead::Read);
        if (row.damage) {
            Bytes bytes = test::readBytes(package);
            row.damage(bytes, opened.reader.entries());
            test::writeBytes(package, bytes);
            ASSERT_EQ(opened.read(package), PackageRead::Read);
        }
        fs::create_directory(destination);
        test::fill(destination, row.before);
        std::vector<ExtractResult> results;
        {
            test::FileSizeLimit limit(row.sizeLimit);
            results = extractAll(opened.reader, destination.string(), row.keep);
        }
        EXPECT_EQ(outcomesOf(results), row.outcomes);
        EXPECT_EQ(causesOf(results), row.causes);
        test::FolderContents expected = {{"dest/", ""}};
        for (const auto& [name, content] : row.after) expected["dest/" + name] = content;
        EXPECT_EQ(test::contentsOf(work.path()), expected);
    }
}

class Collected final : public ContentSink {
public:
    bool write(const std::uint8_t* data, std::size_t length) override {
        bytes.append(reinterpret_cast<const char*>(data), length);
        return true;
    }
    std::string bytes;
};

// LZ blocks pass through a sliding window (small here, so that it slides
// many times) and come out whole; every next block is read from its start,
// also after a damaged one.
TEST(EntryData, LzBlocksStreamThroughASlidingWindow) {
    test::TempFolder source;
    const fs::path package = source.path() / "p.pck";
    const std::vector<std::string> contents = {farRepeats(), farRepeats().substr(1000), "short", noise(30000)};
    std::vector<test::Item> items;
    for (const std::string& content : contents) items.push_back(fileItem("f" + std::to_string(items.size()), content));
    test::writePackage(package, items);
    test::OpenPackage opened;
    ASSERT_EQ(opened.read(package), PackageRead::Read);
    Bytes bytes = test::readBytes(package);
    breakFirstBlockInside(bytes, opened.reader.entries());
    test::writeBytes(package, bytes);
    ASSERT_EQ(opened.read(package), PackageRead::Read);
    const std::vector<PackageEntry>& entries = opened.reader.entries();
    ASSERT_NE(entries[1].storedSize, entries[1].size) << "a packed block";

    // A window of 5 KiB is short of the block's matches, about 18 KiB back.
    const struct {
        LzStreamBuffers buffers;
        EntryData second;
    } runs[] = {{{}, EntryData::Read}, {{32768, 4096, 1024}, EntryData::Read}, {{1024, 4096, 1024}, EntryData::Damaged}};
    for (const auto& run : runs) {
        SCOPED_TRACE("reach " + std::to_string(run.buffers.reach));
        DataCursor data(opened.file, opened.reader.dataStart(), opened.reader.dataEnd());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(data.position(), entries[i].offset) << "entry " << i;
            Collected sink;
            const EntryData read = streamEntryData(entries[i], data, sink, run.buffers);
            EXPECT_EQ(read, i == 0 ? EntryData::Damaged : i == 1 ? run.second : EntryData::Read) << "entry " << i;
            if (read == EntryData::Read) {
                EXPECT_TRUE(sink.bytes == contents[i]) << "entry " << i;
            }
        }
    }
}

TEST(Extraction, FilesTakeTheirTimes) {
    test::TempFolder source, destination;
    test::Item farFuture = fileItem("future.txt", "");
    farFuture.modified = 0x8000000000000000ULL;  // above the signed range
    test::writePackage(source.path() / "p.pck", {fileItem("now.txt", "now"), farFuture});
    test::OpenPackage package;
    ASSERT_EQ(package.read(source.path() / "p.pck"), PackageRead::Read);
    extractAll(package.reader, destination.corePath(), "");
    struct stat info{};
    ASSERT_EQ(stat((destination.path() / "now.txt").c_str(), &info), 0);
    const std::int64_t expectedSeconds = (0x01DA000000000000LL - 116444736000000000LL) / 10000000;
    EXPECT_EQ(info.st_mtim.tv_sec, expectedSeconds);
    ASSERT_EQ(stat((destination.path() / "future.txt").c_str(), &info), 0);
    EXPECT_GT(info.st_mtim.tv_sec, expectedSeconds);  // the file system may clamp it, never wrap it
}

// Without the right to set the times of files it does not own, as an
// ordinary user has it, while alive.
class WithoutOwnerOverride {
public:
    WithoutOwnerOverride() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1u << CAP_FOWNER);
        syscall(SYS_capset, &header_, lowered);
    }
    ~WithoutOwnerOverride() { syscall(SYS_capset, &header_, saved_); }
    WithoutOwnerOverride(const WithoutOwnerOverride&) = delete;
    WithoutOwnerOverride& operator=(const WithoutOwnerOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

// A target that cannot be replaced is written in place. A file mounted over
// the target makes renaming onto it fail while it still opens for writing;
// that needs a mount namespace of the test's own. Written in place, a file
// that someone else owns takes the content but refuses its times, and says so.
TEST(Extraction, WritesInPlaceWhatCannotBeReplaced) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        GTEST_SKIP() << "no mount namespace of its own (needs root)";
    test::TempFolder source, destination, elsewhere;
    // LZMA blocks: the content streams a second time, into the held file.
    test::writePackage(source.path() / "p.pck", {lzmaItem("held.txt", "new"), lzmaItem("theirs.txt", "new")});
    test::OpenPackage package;
    ASSERT_EQ(package.read(source.path() / "p.pck"), PackageRead::Read);
    std::vector<std::string> targets;
    for (const char* name : {"held.txt", "theirs.txt"}) {
        test::writeText(elsewhere.path() / name, "held and old");
        test::writeText(destination.path() / name, "");
        targets.push_back((destination.path() / name).string());
        ASSERT_EQ(mount((elsewhere.path() / name).c_str(), targets.back().c_str(), nullptr, MS_BIND, nullptr), 0);
    }
    const uid_t someoneElse = 65534;
    ASSERT_EQ(chown((elsewhere.path() / "theirs.txt").c_str(), someoneElse, someoneElse), 0);
    ASSERT_EQ(chmod((elsewhere.path() / "theirs.txt").c_str(), 0666), 0);

    std::vector<ExtractResult> results;
    {
        WithoutOwnerOverride ordinaryRights;
        results = extractAll(package.reader, destination.corePath(), "");
    }
    const test::FolderContents seen = test::contentsOf(destination.path());
    for (const std::string& target : targets) umount2(target.c_str(), MNT_DETACH);
    EXPECT_EQ(outcomesOf(results), (Outcomes{ExtractOutcome::Written, ExtractOutcome::TimesFailed}));
    EXPECT_EQ(causesOf(results), (Causes{{1, EPERM}}));
    const test::FolderContents written = {{"held.txt", "new"}, {"theirs.txt", "new"}};
    EXPECT_EQ(seen, written);  // no temporary file either
    EXPECT_EQ(test::contentsOf(elsewhere.path()), written);
}

// The directory and every block come through the one open file: a name that
// meanwhile leads to another file (renamed and replaced, as can happen to a
// running installer's) changes nothing.
TEST(Extraction, ReadsTheFileItWasGivenNotWhatItsNameLaterNames) {
    test::TempFolder source, destination;
    const fs::path installer = source.path() / "setup.exe";
    test::writePackage(installer, {fileItem("BeforeBR.exe", "the signed hook")});
    test::OpenPackage package;
    ASSERT_EQ(package.read(installer, PackageFile::Installer), PackageRead::Read);
    fs::rename(installer, source.path() / "renamed.exe");
    test::writePackage(installer, {fileItem("BeforeBR.exe", "a planted hook!")});  // the same offsets
    EXPECT_EQ(outcomesOf(extractAll(package.reader, destination.corePath(), "")), Outcomes{ExtractOutcome::Written});
    EXPECT_EQ(test::contentsOf(destination.path()), (test::FolderContents{{"BeforeBR.exe", "the signed hook"}}));
}

TEST(FolderChain, CreatesEveryFolderUpToTheLastBackslash) {
    test::TempFolder folder;
    createFolderChain(folder.corePath() + "a\\b\\c \\file-not-a-folder");
    EXPECT_EQ(test::contentsOf(folder.path()), (test::FolderContents{{"a/", ""}, {"a/b/", ""}, {"a/b/c/", ""}}))
        << "trailing blank dropped";
}

TEST(FileExists, IgnoresATrailingBackslash) {
    test::TempFolder folder;
    EXPECT_TRUE(fileExists(folder.corePath()));
    EXPECT_TRUE(fileExists(folder.path().string()));
    EXPECT_FALSE(fileExists(folder.corePath() + "nothing\\"));
}

}  // namespace
}  // namespace brindle
