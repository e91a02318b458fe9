#include "test_package.h"

#include <gtest/gtest.h>

#include "package/lzma_pack.h"
#include "package/package_writer.h"
#include "toolkit/files.h"

namespace brindle::test {

void writePackage(const std::filesystem::path& path, const std::vector<Item>& items, const std::string& prefix) {
    OutputFile out;
    ASSERT_TRUE(out.create(path.string()));
    ASSERT_TRUE(out.write(prefix.data(), prefix.size()));
    PackageWriter writer(out, std::uint32_t(prefix.size()));
    for (const Item& item : items) {
        const auto* content = reinterpret_cast<const std::uint8_t*>(item.content.data());
        if (item.folder) {
            ASSERT_TRUE(writer.addFolder(item.name, item.created, item.modified));
        } else if (item.lzma && !item.content.empty()) {  // an empty file has no block
            LzmaBlockHeader plan = lzmaPlanFor(content, item.content.size());
            plan.partLength = 64 << 10;
            plan.dictionarySize = 16 << 10;
            const std::vector<std::uint8_t> block = packLzma(plan, content, item.content.size());
            ASSERT_TRUE(writer.addStoredFile(item.name, item.content.size(), block.data(), block.size(), item.created,
                                             item.modified));
        } else {
            const auto* content = reinterpret_cast<const std::uint8_t*>(item.content.data());
            ASSERT_TRUE(item.raw ? writer.addStoredFile(item.name, item.content.size(), content, item.content.size(),
                                                        item.created, item.modified)
                                 : writer.addFile(item.name, content, item.content.size(), item.created,
                                                  item.modified));
        }
    }
    ASSERT_TRUE(writer.finish());
}

}  // namespace brindle::test
