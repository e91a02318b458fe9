#include "packing/staged_output.h"

#include "host/host_system.h"

namespace brindle::tool {

StagedOutput::StagedOutput(const std::filesystem::path& target) : target_(target), partial_(target) {
    partial_ += ".partial";
}

StagedOutput::~StagedOutput() {
    std::error_code ignored;
    if (!committed_) std::filesystem::remove(partial_, ignored);
}

bool StagedOutput::commit(std::string& error) {
    std::error_code failure;
    std::filesystem::rename(partial_, target_, failure);
    if (failure) {
        error = utf8Path(target_) + ": " + failure.message();
        return false;
    }
    committed_ = true;
    return true;
}

}  // namespace brindle::tool
