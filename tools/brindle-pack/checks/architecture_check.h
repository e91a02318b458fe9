// [Settings] Architecture against the application's programs: a 64-bit
// installation that ships no 64-bit program, or 64-bit programs installed
// as a 32-bit application, is most likely a mistake.
#pragma once

#include <cstdint>
#include <string>

namespace brindle::tool {

class Diagnostics;
struct Project;

// The machine field of the PE image whose first bytes are `head`; 0 when
// they are no PE image's headers.
std::uint16_t imageMachine(const std::string& head);
// x64 and ARM64 images, which a 64-bit installation is for.
bool is64BitMachine(std::uint16_t machine);

void checkArchitecture(const Project& project, Diagnostics& diagnostics);

}  // namespace brindle::tool
