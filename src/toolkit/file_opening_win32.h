// What the two Win32 name layers (files_win32.cpp: 8-bit names for the
// runtime; files_utf8_win32.cpp: UTF-8 names for the Windows tool) each
// provide to the operations they share in files_handles_win32.cpp, and what
// that file gives both back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/files.h"

namespace brindle {

// Opens for writing, other readers allowed; the closed handle when refused.
std::intptr_t openForWriting(const std::string& path, DWORD disposition);

// The outcome of a Win32 call that returns FALSE on failure.
FileResult resultOf(BOOL succeeded);

// Opens a folder to hold it: others may read and write in it but neither
// rename nor remove it. With `asItself` a link is opened as the link, not
// as what it points at. The closed handle when refused.
std::intptr_t openFolderToHold(const std::string& path, bool asItself);

// True when `path` resolves to somewhere other than its own name in its
// folder: a link that the platform follows even when asked not to (as Wine
// does with the host's symbolic links).
bool resolvesElsewhere(const std::string& path);

}  // namespace brindle
