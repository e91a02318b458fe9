// A folder that one run makes for itself where others can write (the
// user's temporary folder), and that only this run may change.
#pragma once

#include <cstdint>
#include <string>

namespace brindle {

// Creates `path`; false when anything of that name exists already (a folder,
// a file, a link), so that the folder is never one somebody else prepared.
// When the program runs elevated, the folder and everything later made in it
// admit only Administrators and SYSTEM: no unelevated process of the same
// user can plant or swap a file in it.
bool createPrivateFolder(const std::string& path);

// A fresh private folder below `parent` (ending in "\"): "Brindle-" and 16
// random hexadecimal digits, made with createPrivateFolder. Returns it with
// its trailing "\"; empty when none could be made (also for an empty parent).
std::string createFreshPrivateFolder(const std::string& parent);

// A fresh private folder owned by one scope: it is held open without delete
// sharing, so that nobody can rename it and put another folder or a link in
// its place, and it is removed with all it holds (links unlinked, never
// entered) when the owner ends, on every way out of the scope, unless the
// owner was told to keep it.
class ScopedPrivateFolder {
public:
    // Makes the folder with createFreshPrivateFolder below `parent`.
    explicit ScopedPrivateFolder(const std::string& parent);
    ~ScopedPrivateFolder() { remove(); }
    ScopedPrivateFolder(const ScopedPrivateFolder&) = delete;
    ScopedPrivateFolder& operator=(const ScopedPrivateFolder&) = delete;

    // The folder with its trailing "\"; empty when none could be made, and
    // once it is removed or let go.
    const std::string& path() const { return path_; }
    // Removes the folder now. Files that a running program holds open stay.
    void remove();
    // Lets go of the folder without removing it: it outlives the owner.
    void keep();

private:
    void release();

    static constexpr std::intptr_t kNotHeld = -1;
    std::string path_;
    std::intptr_t held_ = kNotHeld;
};

// The access list createPrivateFolder gives the folder, as the platform
// reads the descriptor it builds back into text (SDDL); empty when it sets
// none (the program does not run elevated).
std::string privateFolderAccess();

}  // namespace brindle
