#pragma once

#include <filesystem>
#include <string>

namespace brindle::tool {

// A command's output is written to TARGET.partial first and renamed over
// TARGET only when complete, so that a failure leaves no half-written file
// and an older TARGET stays as it was.
class StagedOutput {
public:
    explicit StagedOutput(const std::filesystem::path& target);
    ~StagedOutput();  // removes the partial file unless committed
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    const std::filesystem::path& partial() const { return partial_; }
    bool commit(std::string& error);

private:
    std::filesystem::path target_;
    std::filesystem::path partial_;
    bool committed_ = false;
};

}  // namespace brindle::tool
