// What an executable image holds behind itself. Data appended to an image
// (the installer's package) start where its headers and sections end. Once
// the image is signed, the signer has appended the PE certificate table after
// everything else, padded with zeros to 8 bytes, and pointed the security
// directory at it: the signature covers what lies in front of the table, so
// the appended data must end exactly there, and nothing may follow the table.
#pragma once

#include <cstdint>

#include "toolkit/files.h"

namespace brindle {

enum class ImageProblem {
    None,
    Cut,                // the headers, sections or certificate table run past the end of the file
    TableMisplaced,     // the security directory names no table behind the image, 8-byte aligned
    TableUnrecognised,  // the table is not a run of certificates of the kinds the format defines
    DataAfterTable,     // more than the format's zero padding follows the table
};

struct ImageLayout {
    bool isImage = false;                    // the file starts with a PE image
    std::uint64_t imageEnd = 0;              // end of the headers and every section's raw data
    std::uint64_t appendedEnd = 0;           // where appended data end: the file's length, or in front of the
                                             // zero padding before the certificate table
    std::uint32_t certificateTableSize = 0;  // 0: the security directory is empty
    ImageProblem problem = ImageProblem::None;
};

// Reads the layout of `file` (`length` bytes long). A file that is no PE image
// is data from its first byte to its end. A security directory that is not
// empty must name a sound certificate table that ends the file; otherwise
// `problem` tells what is wrong, and nothing behind the image may be trusted.
ImageLayout readImageLayout(InputFile& file, std::uint64_t length);

}  // namespace brindle
