#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "package/package_check.h"
#include "package/package_reader.h"
#include "package/packed_block.h"
#include "temp_folder.h"
#include "test_package.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kTableSize = 8 + 1200;
constexpr std::size_t kInsideImage = 0x400;  // within the runtime's headers and sections
// The built runtime, with real PE32 headers and sections; the build of the
// Windows programs puts it there.
const std::filesystem::path kRuntime = std::filesystem::path(BRINDLE_BIN_DIR) / "brindle-setup.exe";

// An installer made of `image` (by default the built runtime) and a package
// holding `content`.
Bytes installer(const test::TempFolder& folder, const std::string& content, std::string image = {}) {
    if (image.empty()) {
        const Bytes stub = test::readBytes(kRuntime);
        image.assign(stub.begin(), stub.end());
    }
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

// Signs as a signer does: zero padding (by default to the next multiple of
// 8), one certificate and the directory set.
void sign(Bytes& b, std::size_t padding = ~std::size_t(0)) {
    b.resize(b.size() + (padding == ~std::size_t(0) ? (8 - b.size() % 8) % 8 : padding), 0);
    const std::size_t at = b.size();
    b.resize(at + kTableSize, 0x30);
    writeCertificateHeader(b, at, kTableSize);
    setDirectory(b, at, kTableSize);
}

struct Case {
    const char* name;
    std::function<void(Bytes&)> change;
    bool packageFound;
    bool signatureFound;
};

// Each test reads the built runtime's headers.
class SignedImage : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code failure;
        ASSERT_TRUE(std::filesystem::is_regular_file(kRuntime, failure) &&
                    std::filesystem::file_size(kRuntime, failure) > kInsideImage)
            << kRuntime << " is missing; the build of the Windows programs (scripts/build.sh) makes it";
    }
};

TEST_F(SignedImage, CertificateTableCountsOnlyWhereItIsSound) {
    test::TempFolder folder;
    const Bytes unsignedBytes = installer(folder, "readme text");
    const Case cases[] = {
        {"unsigned", [](Bytes&) {}, true, false},
        {"signed", [](Bytes& b) { sign(b); }, true, true},
        {"unsigned, directory outside the file", [](Bytes& b) { setDirectory(b, b.size() + 8, 64); }, true, false},
        {"unsigned, empty directory at the end", [](Bytes& b) { setDirectory(b, b.size() & ~7u, 0); }, true, false},
        {"table past the end", [](Bytes& b) { sign(b); setDirectory(b, b.size() + 8, kTableSize); }, false, false},
        {"table too large", [](Bytes& b) { sign(b); setDirectory(b, tableAt(b), 0xFFFFFFF8u); }, false, false},
        {"table of size 0", [](Bytes& b) { sign(b); setDirectory(b, tableAt(b), 0); }, false, false},
        {"table not at the end", [](Bytes& b) { sign(b); b.resize(b.size() + 8, 0); }, false, false},
        {"table not 8-byte aligned", [](Bytes& b) { sign(b, (8 - b.size() % 8) % 8 + 1); }, false, false},
        {"table overlapping the image, sound header there",
         [](Bytes& b) {
             sign(b);
             writeCertificateHeader(b, kInsideImage, 8);
             setDirectory(b, kInsideImage, b.size() - kInsideImage);
         },
         false, false},
        {"certificate longer than the table", [](Bytes& b) { sign(b); storeLe32(&b[tableAt(b)], kTableSize + 8); },
         false, false},
        {"certificate of unknown revision", [](Bytes& b) { sign(b); b[tableAt(b) + 5] = 0x03; }, false, false},
    };
    PackageReader plain;
    ASSERT_TRUE(plain.readDirectory((folder.path() / "built.exe").string()));
    for (const Case& c : cases) {
        Bytes bytes = unsignedBytes;
        c.change(bytes);
        test::writeBytes(folder.path() / "case.exe", bytes);
        PackageReader reader;
        EXPECT_EQ(reader.readDirectory((folder.path() / "case.exe").string()), c.packageFound) << c.name;
        EXPECT_EQ(reader.certificateTableSize(), c.signatureFound ? kTableSize : 0u) << c.name;
        EXPECT_EQ(reader.entries().size(), c.packageFound ? 1u : 0u) << c.name;
        if (!c.packageFound) continue;
        EXPECT_EQ(reader.dataEnd(), plain.dataEnd()) << c.name;
        EXPECT_TRUE(checkPackage(reader).empty()) << c.name;
    }
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

TEST_F(SignedImage, PaddingOfEveryLengthIsStrippedInPe32AndPe32Plus) {
    test::TempFolder folder;
    for (const std::string& image : {std::string(), pe32PlusImage()}) {
        std::set<std::size_t> paddings;
        for (std::size_t length = 1; length <= 16; ++length) {
            Bytes bytes = installer(folder, std::string(length, 'x'), image);  // short: stored raw
            paddings.insert((8 - bytes.size() % 8) % 8);
            sign(bytes);
            test::writeBytes(folder.path() / "signed.exe", bytes);
            PackageReader reader;
            EXPECT_TRUE(reader.readDirectory((folder.path() / "signed.exe").string())) << length;
            EXPECT_TRUE(reader.signatureFound()) << length;
        }
        EXPECT_EQ(paddings.size(), 8u);
    }
}

}  // namespace
}  // namespace brindle
