// Where data appended behind an executable image end once the image is
// signed: the signer appends the PE certificate table after everything else,
// padded with zeros to 8 bytes, so the appended package no longer ends the
// file.
#pragma once

#include <cstdint>

#include "toolkit/files.h"

namespace brindle {

struct AppendedDataEnd {
    std::uint64_t end = 0;                    // the file length when no certificate table was found
    std::uint32_t certificateTableSize = 0;  // 0: no certificate table
};

// Reads the security directory of the PE image at the start of `file`
// (`length` bytes long). A certificate table counts only when it lies behind
// the image's headers and sections, is 8-byte aligned, holds a sound first
// certificate header and ends the file; then the data end where the table
// and the zero padding before it begin. Anything else, and files that are no
// PE image, leave the whole file as data.
AppendedDataEnd findAppendedDataEnd(InputFile& file, std::uint64_t length);

}  // namespace brindle
