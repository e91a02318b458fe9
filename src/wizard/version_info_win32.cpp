// Version resources through Version.dll, loaded at run time from the system
// folder only: a Version.dll lying beside the installer or in the current
// folder is never the one loaded.
#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "toolkit/number_text.h"
#include "toolkit/system_libraries.h"
#include "toolkit/windows_platform.h"
#include "wizard/version_info.h"
#include "wizard/version_summary.h"

namespace brindle {

namespace {
using SizeFunction = decltype(&GetFileVersionInfoSizeA);
using ReadFunction = decltype(&GetFileVersionInfoA);
using QueryFunction = decltype(&VerQueryValueA);
using LanguageNameFunction = decltype(&VerLanguageNameA);

bool hasContent(const std::string& path) {
    NativeFileScope native;
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
           (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

// The summary from a resource read whole into `block`.
std::string summaryOf(void* block, QueryFunction query, LanguageNameFunction languageName) {
    void* found = nullptr;
    UINT length = 0;
    // Without a translation table no string table can be named, and there is
    // no language to name: the summary stays empty.
    if (!query(block, "\\VarFileInfo\\Translation", &found, &length) || length < 2 * sizeof(WORD)) return {};
    const WORD* translation = static_cast<const WORD*>(found);
    const std::string key = paddedNumber(translation[0], 4, 16) + paddedNumber(translation[1], 4, 16);
    char language[128] = {};
    languageName(translation[0], language, sizeof language);

    std::string values[2];
    const char* names[2] = {"FileVersion", "FileDescription"};
    for (int i = 0; i < 2; ++i) {
        const std::string subBlock = std::string("\\StringFileInfo\\") + key + "\\" + names[i];
        // Bounded by the stated length: a damaged resource may lack its NUL.
        if (query(block, subBlock.c_str(), &found, &length) && length > 0) {
            const char* text = static_cast<const char*>(found);
            values[i].assign(text, strnlen(text, length));
        }
    }
    return joinVersionSummary(values[0], values[1], language);
}
}  // namespace

std::string readVersionInfo(const std::string& path) {
    if (!hasContent(path)) return {};
    void* library = loadSystemLibrary("Version.dll");
    if (library == nullptr) return {};
    const auto size = libraryFunction<SizeFunction>(library, "GetFileVersionInfoSizeA");
    const auto read = libraryFunction<ReadFunction>(library, "GetFileVersionInfoA");
    const auto query = libraryFunction<QueryFunction>(library, "VerQueryValueA");
    const auto languageName = libraryFunction<LanguageNameFunction>(library, "VerLanguageNameA");
    std::string summary;
    if (size != nullptr && read != nullptr && query != nullptr && languageName != nullptr) {
        DWORD unused = 0;
        // The size is taken whole: resources of 32 KB and more are read like
        // any other. The file itself is read past the redirection (Version.dll
        // is loaded by then), so that a 64-bit installation compares the
        // system folder's file it would replace.
        std::unique_ptr<char[]> block;
        {
            NativeFileScope native;
            const DWORD blockSize = size(path.c_str(), &unused);
            block.reset(blockSize > 0 ? new (std::nothrow) char[blockSize] : nullptr);
            if (block != nullptr && !read(path.c_str(), 0, blockSize, block.get())) block.reset();
        }
        if (block != nullptr) summary = summaryOf(block.get(), query, languageName);
    }
    releaseLibrary(library);
    return summary;
}

}  // namespace brindle
