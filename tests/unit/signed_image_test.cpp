// The installer's own image: its package lies behind the image and, once the
// image is signed, ends where the certificate table starts, which in turn
// ends the file. Anything else is a damaged installer.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

#include "package/extraction.h"
#include "package/package_check.h"
#include "package/packed_block.h"
#include "run/package_verdict.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kTableSize = 8 + 1200;
constexpr std::size_t kInsideImage = 0x400;  // within the runtime's headers and sections

// The built runtime: real PE32 headers and sections.
std::string runtimeImage() {
    const std::filesystem::path stub = std::filesystem::path(BRINDLE_BIN_DIR) / "brindle-setup.exe";
    if (!std::filesystem::is_regular_file(stub)) {
        ADD_FAILURE() << stub << " is missing: these tests read the runtime that the Windows build makes";
        return {};
    }
    const Bytes bytes = test::readBytes(stub);
    return {bytes.begin(), bytes.end()};
}

// An installer made of `image` and a package holding `content`.
Bytes installer(const test::TempFolder& folder, const std::string& content, const std::string& image) {
    test::writePackage(folder.path() / "built.exe", {test::fileItem("readme.txt", content)}, image);
    return test::readBytes(folder.path() / "built.exe");
}

std::size_t securityDirectoryAt(const Bytes& b) {
    const std::size_t optional = loadLe32(&b[0x3C]) + 24;
    return optional + (b[optional + 1] == 0x02 ? 112 : 96) + 4 * 8;  // PE32+ or PE32
}

void setDirectory(Bytes& b, std::uint64_t offset, std::uint64_t size) {
    storeLe32(&b[securityDirectoryAt(b)], std::uint32_t(offset));
    storeLe32(&b[securityDirectoryAt(b) + 4], std::uint32_t(size));
}

std::size_t tableAt(const Bytes& b) { return loadLe32(&b[securityDirectoryAt(b)]); }

void writeCertificateHeader(Bytes& b, std::size_t at, std::uint32_t length) {
    storeLe32(&b[at], length);
    storeLe32(&b[at + 4], 0x00020200);  // revision 2.0, PKCS#7 signed data
}

// Signs as a signer does: zero padding to the next multiple of 8, then one
// certificate of `length` bytes, rounded up to 8 with zeros, and the
// directory set to the table's size, those zeros counted or not.
void sign(Bytes& b, std::uint32_t length = kTableSize, bool paddingCounted = true) {
    b.resize(b.size() + (8 - b.size() % 8) % 8, 0);
    const std::size_t at = b.size();
    b.resize(at + length, 0x30);
    b.resize(at + (length + 7) / 8 * 8, 0);
    writeCertificateHeader(b, at, length);
    setDirectory(b, at, paddingCounted ? b.size() - at : length);
}

struct Case {
    const char* name;
    std::function<void(Bytes&)> change;
    PackageRead read;
    std::uint32_t tableSize = 0;  // as the reader tells it
};

TEST(SignedImage, PackageEndsWhereTheTableStartsAndTheTableEndsTheFile) {
    test::TempFolder folder;
    const std::string image = runtimeImage();
    ASSERT_FALSE(image.empty());
    const Bytes unsignedBytes = installer(folder, "readme text", image);
    // Another package, as someone might append it behind a signed installer.
    test::writePackage(folder.path() / "other.pck", {test::fileItem("BeforeBR.exe", "another program")});
    const Bytes appended = test::readBytes(folder.path() / "other.pck");
    using enum PackageRead;
    const Case cases[] = {
        {"unsigned", [](Bytes&) {}, Read},
        {"signed", [](Bytes& b) { sign(b); }, Read, kTableSize},
        {"signed, the last certificate's padding outside the table",
         [](Bytes& b) { sign(b, kTableSize - 3, false); }, Read, kTableSize - 3},
        {"signed, two certificates",
         [](Bytes& b) {
             sign(b, 16);
             const std::size_t second = b.size();
             b.resize(second + 24, 0x30);
             writeCertificateHeader(b, second, 21);
             setDirectory(b, tableAt(b), b.size() - tableAt(b));
         },
         Read, 16 + 24},
        {"a bare stub", [&](Bytes& b) { b.resize(image.size()); }, NothingAppended},
        {"a bare stub, signed", [&](Bytes& b) { b.resize(image.size()); sign(b); }, NothingAppended, kTableSize},
        {"cut short inside the package", [](Bytes& b) { b.resize(b.size() - 10); }, MissingBehindImage},
        {"cut short inside the image", [&](Bytes& b) { b.resize(image.size() - 100); }, ImageCut},
        {"a byte between the package and the table",
         [](Bytes& b) { b.push_back('x'); sign(b); }, MissingBehindImage, kTableSize},
        {"a package appended behind the table",
         [&](Bytes& b) { sign(b); b.insert(b.end(), appended.begin(), appended.end()); }, DataAfterTable},
        {"zeros behind the table beyond its rounding", [](Bytes& b) { sign(b); b.resize(b.size() + 8, 0); },
         DataAfterTable},
        {"something in the last certificate's rounding behind the table",
         [](Bytes& b) { sign(b, kTableSize - 3, false); b.back() = 1; }, DataAfterTable},
        {"the table stretched over a package appended behind it",
         [&](Bytes& b) {
             sign(b);
             b.insert(b.end(), appended.begin(), appended.end());
             b.resize((b.size() + 7) / 8 * 8, 0);
             setDirectory(b, tableAt(b), b.size() - tableAt(b));
         },
         TableUnrecognised},
        {"unsigned, the directory pointing outside the file", [](Bytes& b) { setDirectory(b, (b.size() + 15) & ~7u, 64); },
         ImageCut},
        {"signed, cut short inside the table", [](Bytes& b) { sign(b); b.resize(b.size() - 8); }, ImageCut},
        {"an empty directory at the end", [](Bytes& b) { setDirectory(b, b.size() & ~7u, 0); }, TableMisplaced},
        {"table past the end", [](Bytes& b) { sign(b); setDirectory(b, b.size() + 8, kTableSize); }, ImageCut},
        {"table too large", [](Bytes& b) { sign(b); setDirectory(b, tableAt(b), 0xFFFFFFF8u); }, ImageCut},
        {"table of size 0", [](Bytes& b) { sign(b); setDirectory(b, tableAt(b), 0); }, TableMisplaced},
        {"table not 8-byte aligned",
         [](Bytes& b) { b.resize(b.size() + (8 - b.size() % 8) % 8 + 1, 0); const std::size_t at = b.size();
                        b.resize(at + kTableSize, 0x30); writeCertificateHeader(b, at, kTableSize);
                        setDirectory(b, at, kTableSize); },
         TableMisplaced},
        {"table overlapping the image, sound header there",
         [](Bytes& b) {
             sign(b);
             writeCertificateHeader(b, kInsideImage, 8);
             setDirectory(b, kInsideImage, b.size() - kInsideImage);
         },
         TableMisplaced},
        {"certificate longer than the table", [](Bytes& b) { sign(b); storeLe32(&b[tableAt(b)], kTableSize + 8); },
         TableUnrecognised},
        {"certificate shorter than its header", [](Bytes& b) { sign(b); storeLe32(&b[tableAt(b)], 4); },
         TableUnrecognised},
        {"certificate of unknown revision", [](Bytes& b) { sign(b); b[tableAt(b) + 5] = 0x03; }, TableUnrecognised},
        {"certificate of unknown type", [](Bytes& b) { sign(b); b[tableAt(b) + 6] = 0x09; }, TableUnrecognised},
    };
    test::OpenPackage plain;
    ASSERT_EQ(plain.read(folder.path() / "built.exe", PackageFile::Installer), Read);
    for (const Case& c : cases) {
        Bytes bytes = unsignedBytes;
        c.change(bytes);
        test::writeBytes(folder.path() / "case.exe", bytes);
        test::OpenPackage opened;
        EXPECT_EQ(opened.read(folder.path() / "case.exe", PackageFile::Installer), c.read) << c.name;
        const PackageReader& reader = opened.reader;
        EXPECT_EQ(reader.certificateTableSize(), c.tableSize) << c.name;
        EXPECT_EQ(reader.entries().size(), c.read == Read ? 1u : 0u) << c.name;
        if (c.read != Read) continue;
        EXPECT_EQ(reader.dataEnd(), plain.reader.dataEnd()) << c.name;
        EXPECT_TRUE(checkPackage(reader).empty()) << c.name;
    }
}

// A package may begin with an image of its own: setup.pck, stored raw, whose
// first entry is a signed program. Read as a package it is sound; only an
// installer is judged by the image it starts with.
TEST(SignedImage, OnlyAnInstallerIsJudgedByTheImageItStartsWith) {
    test::TempFolder folder;
    const std::string image = runtimeImage();
    ASSERT_FALSE(image.empty());
    Bytes program(image.begin(), image.end());
    sign(program);
    test::Item signedProgram = test::fileItem("App.exe", std::string(program.begin(), program.end()));
    signedProgram.raw = true;
    test::writePackage(folder.path() / "setup.pck", {signedProgram, test::fileItem("readme.txt", "text")});
    test::OpenPackage package;
    ASSERT_EQ(package.read(folder.path() / "setup.pck", PackageFile::Package), PackageRead::Read);
    EXPECT_EQ(package.read(folder.path() / "setup.pck", PackageFile::Installer), PackageRead::DataAfterTable);
}

// What the installer decides before its first page, on its own image cut
// short at every length behind the image (a download broken off), or with
// one bit of a packed block flipped: damaged, and only a stub with nothing
// behind it runs, with its defaults.
TEST(SignedImage, AnInstallerCutShortAnywhereBehindItsImageIsDamaged) {
    test::TempFolder folder;
    const std::string image = runtimeImage();
    ASSERT_FALSE(image.empty());
    test::writePackage(folder.path() / "whole.exe",
                       {test::fileItem("setup.ini", std::string(300, 'i')), test::fileItem("licence.txt", "licence")},
                       image);
    const Bytes whole = test::readBytes(folder.path() / "whole.exe");
    const auto judge = [&](const Bytes& bytes) {
        test::TempFolder work;
        test::writeBytes(folder.path() / "case.exe", bytes);
        test::OpenPackage opened;
        const PackageRead read = opened.read(folder.path() / "case.exe", PackageFile::Installer);
        return judgeOwnPackage(read, extractAll(opened.reader, work.corePath(), ""));
    };
    EXPECT_EQ(judge(whole), PackageVerdict::Sound);
    EXPECT_EQ(judge(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(image.size()))), PackageVerdict::Sound);
    for (std::size_t length = image.size() + 1; length < whole.size(); ++length)
        EXPECT_EQ(judge(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(length))), PackageVerdict::Damaged)
            << "cut at " << length;
    test::OpenPackage original;
    ASSERT_EQ(original.read(folder.path() / "whole.exe", PackageFile::Installer), PackageRead::Read);
    Bytes flipped = whole;
    flipped[std::size_t(original.reader.entries()[0].offset) + 6] ^= 1;  // setup.ini's packed block's checksum
    EXPECT_EQ(judge(flipped), PackageVerdict::Damaged);
}

TEST(PackageVerdict, DamageOutweighsAFailedWrite) {
    using enum ExtractOutcome;
    const std::tuple<std::vector<ExtractResult>, PackageVerdict> rows[] = {
        {{{FolderMade}, {Written}}, PackageVerdict::Sound},
        {{{Written}, {TimesFailed}}, PackageVerdict::Sound},  // the work folder's files need no times
        {{{Written}, {WriteFailed}, {Written}}, PackageVerdict::NotWritten},
        {{{WriteFailed}, {Damaged}}, PackageVerdict::Damaged},
        {{{Written}, {Truncated}}, PackageVerdict::Damaged},
        {{{UnsafeName}, {Written}}, PackageVerdict::Damaged},
        {{{UnknownKind}}, PackageVerdict::Damaged},
    };
    for (const auto& [outcomes, verdict] : rows)
        EXPECT_EQ(judgeOwnPackage(PackageRead::Read, outcomes), verdict) << outcomes.size() << " outcomes";
}

// The smallest PE32+ image: headers only, no sections.
std::string pe32PlusImage() {
    std::string image(0x200, '\0');
    image.replace(0, 2, "MZ");
    image[0x3C] = 0x40;  // e_lfanew
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    image[0x54] = char(240);               // SizeOfOptionalHeader
    image.replace(0x58, 2, "\x0B\x02");  // the optional header's magic
    image[0x58 + 61] = 0x02;               // SizeOfHeaders 0x200
    image[0x58 + 108] = 16;                // NumberOfRvaAndSizes
    return image;
}

TEST(SignedImage, PaddingOfEveryLengthIsStrippedInPe32AndPe32Plus) {
    test::TempFolder folder;
    for (const std::string& image : {runtimeImage(), pe32PlusImage()}) {
        ASSERT_FALSE(image.empty());
        std::set<std::size_t> paddings;
        for (std::size_t length = 1; length <= 16; ++length) {
            Bytes bytes = installer(folder, std::string(length, 'x'), image);  // short: stored raw
            paddings.insert((8 - bytes.size() % 8) % 8);
            sign(bytes);
            test::writeBytes(folder.path() / "signed.exe", bytes);
            test::OpenPackage opened;
            EXPECT_EQ(opened.read(folder.path() / "signed.exe", PackageFile::Installer), PackageRead::Read) << length;
            EXPECT_TRUE(opened.reader.signatureFound()) << length;
        }
        EXPECT_EQ(paddings.size(), 8u);
    }
}

}  // namespace
}  // namespace brindle
