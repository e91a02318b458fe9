// Carries out a removal plan: files through the file layer, never through a
// link on their way; registry keys and values through RegistryEdits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brindle {

struct RemovalPlan;

// The registry side: the platform's in the uninstaller, a fake in the tests.
class RegistryEdits {
public:
    virtual ~RegistryEdits() = default;
    // Each is true when what it removes is gone afterwards, or was never there.
    virtual bool deleteValue(std::uint32_t root, const std::string& key, const std::string& name) = 0;
    // A key that holds a value or a key stays, and that is no failure.
    virtual bool deleteKeyIfEmpty(std::uint32_t root, const std::string& key) = 0;
    // Deletes a key with its values (not one that holds keys).
    virtual bool deleteKey(std::uint32_t root, const std::string& key) = 0;
    virtual std::string readString(std::uint32_t root, const std::string& key, const std::string& name) = 0;
};

struct RemovalOutcome {
    std::vector<std::string> stayed;     // the plan's refused entries, then each step that failed
    std::vector<std::string> untrusted;  // the plan's: left as uninstall.dat was changed
    std::vector<std::string> kept;       // files the user changed since the installation
    // Leaving the user's files is no failure.
    bool allRemoved() const { return stayed.empty() && untrusted.empty(); }
};

RemovalOutcome carryOut(const RemovalPlan& plan, RegistryEdits& registry);

}  // namespace brindle
