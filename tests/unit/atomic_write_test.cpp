// Written files are whole or not there: a write that fails half way (here a
// file-size limit stands in for a full disk, which works as root too) leaves
// the earlier file and no temporary file behind.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
#include <map>
#include <optional>

#include "config/language_texts.h"
#include "config/preference_file.h"
#include "install/uninstall_data.h"
#include "package/extraction.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

constexpr rlim_t kNoLimit = RLIM_INFINITY;

// Writes beyond `bytes` into any file fail (EFBIG) while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// Every item directly in `folder`: files with their content, folders as "name/".
std::map<std::string, std::string> contentsOf(const fs::path& folder) {
    std::map<std::string, std::string> items;
    for (const fs::directory_entry& item : fs::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (item.is_directory()) {
            items[name + "/"] = "";
        } else {
            const auto bytes = test::readBytes(item.path());
            items[name] = {bytes.begin(), bytes.end()};
        }
    }
    return items;
}

void prepare(const fs::path& folder, const std::map<std::string, std::string>& items) {
    for (const auto& [name, content] : items) {
        if (name.back() == '/') {
            fs::create_directories(folder / name);
        } else {
            test::writeBytes(folder / name, test::bytesOf(content));
        }
    }
}

const std::string kBig(4000, 'b');

struct ExtractionRow {
    const char* what;
    std::map<std::string, std::string> before;  // in the destination
    rlim_t sizeLimit;
    ExtractOutcome bigOutcome;
    std::map<std::string, std::string> after;  // everything the destination then holds
};

TEST(AtomicWrite, ExtractionLeavesWholeFilesOnly) {
    const ExtractionRow rows[] = {
        {"disk full: the earlier file stays", {{"big.bin", "earlier"}}, 1000, ExtractOutcome::WriteFailed,
         {{"big.bin", "earlier"}, {"small.txt", "small"}}},
        {"disk full: no file at all", {}, 1000, ExtractOutcome::WriteFailed, {{"small.txt", "small"}}},
        {"a folder in the way", {{"big.bin/", ""}}, kNoLimit, ExtractOutcome::WriteFailed,
         {{"big.bin/", ""}, {"small.txt", "small"}}},
        {"a left temporary name is stepped over", {{"~brindle0.tmp", "stale"}, {"big.bin", "old"}}, kNoLimit,
         ExtractOutcome::Written, {{"~brindle0.tmp", "stale"}, {"big.bin", kBig}, {"small.txt", "small"}}},
    };
    for (const ExtractionRow& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempFolder source, destination;
        test::writePackage(source.path() / "p.pck",
                           {test::fileItem("big.bin", kBig), test::fileItem("small.txt", "small")});
        PackageReader reader;
        ASSERT_TRUE(reader.readDirectory((source.path() / "p.pck").string()));
        prepare(destination.path(), row.before);
        std::vector<ExtractOutcome> outcomes;
        {
            FileSizeLimit limit(row.sizeLimit);
            outcomes = extractAll(reader, destination.corePath(), "");
        }
        EXPECT_EQ(outcomes, (std::vector<ExtractOutcome>{row.bigOutcome, ExtractOutcome::Written}));
        EXPECT_EQ(contentsOf(destination.path()), row.after);
    }
}

// A target that cannot be replaced is written in place. A file mounted over
// the target makes renaming onto it fail while it still opens for writing;
// that needs a mount namespace of the test's own.
TEST(AtomicWrite, ExtractionWritesInPlaceWhatCannotBeReplaced) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        GTEST_SKIP() << "no mount namespace of its own (needs root)";
    test::TempFolder source, destination, elsewhere;
    test::writePackage(source.path() / "p.pck", {test::fileItem("held.txt", "new")});
    PackageReader reader;
    ASSERT_TRUE(reader.readDirectory((source.path() / "p.pck").string()));
    test::writeBytes(elsewhere.path() / "held.txt", test::bytesOf("held and old"));
    test::writeBytes(destination.path() / "held.txt", {});
    const std::string target = (destination.path() / "held.txt").string();
    ASSERT_EQ(mount((elsewhere.path() / "held.txt").c_str(), target.c_str(), nullptr, MS_BIND, nullptr), 0);

    const auto outcomes = extractAll(reader, destination.corePath(), "");
    const auto seen = contentsOf(destination.path());
    umount2(target.c_str(), MNT_DETACH);
    EXPECT_EQ(outcomes, std::vector<ExtractOutcome>{ExtractOutcome::Written});
    EXPECT_EQ(seen, (std::map<std::string, std::string>{{"held.txt", "new"}}));  // no temporary file either
    EXPECT_EQ(contentsOf(elsewhere.path()), (std::map<std::string, std::string>{{"held.txt", "new"}}));
}

TEST(AtomicWrite, UninstallDataIsWholeOrAsBefore) {
    const std::string earlier = "; from the builder\r\n[Files]\r\nF001 = tool.exe\r\n";
    struct Row {
        const char* what;
        std::optional<std::string> before;
        rlim_t sizeLimit;
        bool written;
    } const rows[] = {
        {"template, room", earlier, kNoLimit, true},
        {"template, disk full", earlier, 100, false},
        {"no template, disk full", std::nullopt, 100, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempFolder folder;
        if (row.before) prepare(folder.path(), {{"uninstall.dat", *row.before}});
        PreferenceFile file;
        const LanguageTexts texts{"Tool", "1.0"};
        bool written = false;
        {
            FileSizeLimit limit(row.sizeLimit);
            written = writeUninstallData(file, {folder.corePath(), "tool.exe", "{GUID}", "", "", "", "", {}}, texts);
        }
        EXPECT_EQ(written, row.written);
        const auto items = contentsOf(folder.path());
        if (row.written) {
            ASSERT_EQ(items.size(), 1u);
            EXPECT_EQ(items.at("uninstall.dat").rfind(earlier + "[Settings]\r\n", 0), 0u);
        } else if (row.before) {
            EXPECT_EQ(items, (std::map<std::string, std::string>{{"uninstall.dat", earlier}}));
        } else {
            EXPECT_TRUE(items.empty());
        }
    }
}

}  // namespace
}  // namespace brindle
