// The Windows the 32-bit programs run on, and their way past the system's
// redirection of file calls into the system folder.
#pragma once

namespace brindle {

// True on Windows that runs x64 programs: x64 Windows and ARM64 Windows.
bool windowsIs64Bit();

// Chosen once, before the first file call: whether the file calls that a
// NativeFileScope encloses reach the native system folder rather than the
// 32-bit one that the system shows a 32-bit program in its place.
void useNativeFiles(bool native);

// Turns the redirection off for the calls of one operation and on again at
// its end. Never around a library load: the system finds its libraries
// through the redirection, and would load 64-bit ones into this process.
class NativeFileScope {
public:
    NativeFileScope();
    ~NativeFileScope();
    NativeFileScope(const NativeFileScope&) = delete;
    NativeFileScope& operator=(const NativeFileScope&) = delete;

private:
    void* previous_ = nullptr;
    bool disabled_ = false;
};

}  // namespace brindle
