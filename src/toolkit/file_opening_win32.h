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

}  // namespace brindle
