// The removal's registry side on this machine.
#pragma once

#include "toolkit/registry.h"
#include "uninstall/removal.h"

namespace brindle {

class SystemRegistryEdits final : public RegistryEdits {
public:
    bool deleteValue(std::uint32_t root, const std::string& key, const std::string& name) override {
        return deleteRegistryValue(root, key, name);
    }
    bool deleteKeyIfEmpty(std::uint32_t root, const std::string& key) override {
        return deleteRegistryKeyIfEmpty(root, key);
    }
    bool deleteKey(std::uint32_t root, const std::string& key) override { return deleteRegistryKey(root, key); }
    std::string readString(std::uint32_t root, const std::string& key, const std::string& name) override {
        return readRegistryString(root, key, name);
    }
};

}  // namespace brindle
