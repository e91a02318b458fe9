// The start of the runtime's programs (the installer, the uninstaller):
// each defines programMain, which the start calls once the process is set
// up; the process ends with the code it returns.
#pragma once

namespace brindle {

unsigned programMain();

}  // namespace brindle
