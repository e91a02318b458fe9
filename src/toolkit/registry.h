// Registry string values, by root key handle value (as setup.ini writes
// them: 0x80000001 is the current user, 0x80000002 the local machine).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

inline constexpr std::uint32_t kClassesRoot = 0x80000000u;
inline constexpr std::uint32_t kCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kLocalMachine = 0x80000002u;

// On 64-bit Windows a 32-bit program sees the 32-bit view of the registry
// unless it asks for the other. A root may name one view: the handle value
// with one of these bits added (the platform's KEY_WOW64_64KEY and
// KEY_WOW64_32KEY); without them it is the program's own view. Both bits
// lie clear of every handle value, so a root with its view travels through
// every call and record as one number.
inline constexpr std::uint32_t kRegistryView64 = 0x0100u;
inline constexpr std::uint32_t kRegistryView32 = 0x0200u;
inline constexpr std::uint32_t kRegistryViews = kRegistryView64 | kRegistryView32;

// The value's text without its terminating NUL; empty when the key or value
// is missing, the value is no string (REG_SZ or REG_EXPAND_SZ), or it does
// not fit 255 bytes.
std::string readRegistryString(std::uint32_t root, const std::string& key, const std::string& name);

// A string value, or a number for the values that readers take as numbers.
struct RegistryValue {
    std::string name;
    std::string text;
    bool isNumber = false;  // then `number` as REG_DWORD, and no text
    std::uint32_t number = 0;
};

inline RegistryValue numberValue(const std::string& name, std::uint32_t number) { return {name, {}, true, number}; }

// Creates or opens the key (and the keys above it) and stores each text as
// REG_SZ with its NUL, each number as REG_DWORD. False when the key could not
// be opened; failures of single values are ignored.
bool writeRegistryStrings(std::uint32_t root, const std::string& key, const std::vector<RegistryValue>& values);

// True when the key exists (it can be opened for reading).
bool registryKeyExists(std::uint32_t root, const std::string& key);

// The removals are true when what they remove is gone afterwards, also when
// it was never there.
bool deleteRegistryValue(std::uint32_t root, const std::string& key, const std::string& name);
// Deletes the key only when it holds no value and no key; a key that holds
// anything stays, and that is no failure.
bool deleteRegistryKeyIfEmpty(std::uint32_t root, const std::string& key);
// Deletes the key with its values; a key that holds keys stays (false).
bool deleteRegistryKey(std::uint32_t root, const std::string& key);

inline void writeRegistryString(std::uint32_t root, const std::string& key, const std::string& name,
                                const std::string& text) {
    writeRegistryStrings(root, key, {{name, text}});
}

}  // namespace brindle
