#include "commands/signing.h"

#include <fstream>

#include "host/host_program.h"
#include "host/host_system.h"
#include "package/packed_block.h"
#include "package/package_reader.h"

namespace brindle::tool {

namespace {
constexpr std::streamoff kNewHeaderField = 0x3C;  // e_lfanew in the MZ header

// Whether the file starts with a PE image: "MZ", and "PE\0\0" where its header says.
bool isWindowsProgram(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint8_t field[4] = {};
    if (!in.read(reinterpret_cast<char*>(field), 2) || field[0] != 'M' || field[1] != 'Z') return false;
    if (!in.seekg(kNewHeaderField) || !in.read(reinterpret_cast<char*>(field), 4)) return false;
    if (!in.seekg(std::streamoff(loadLe32(field))) || !in.read(reinterpret_cast<char*>(field), 4)) return false;
    return loadLe32(field) == 0x00004550;
}

// The first line of the signer's output that says something, for a one-line message.
std::string firstLine(const std::string& output) {
    std::size_t start = output.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return "no message";
    return output.substr(start, output.find_first_of("\r\n", start) - start);
}
}  // namespace

bool Signer::find(std::string& error) {
    const std::optional<std::string> found = findOnPath("osslsigncode");
    if (!found) {
        error = "sign: osslsigncode, which makes the signature, is not found on PATH";
        return false;
    }
    program_ = *found;
    return true;
}

bool Signer::sign(const SigningKey& key, const std::filesystem::path& in, const std::filesystem::path& out,
                  std::string& error) const {
    const std::string input = utf8Path(in), output = utf8Path(out);
    PackageReader original;
    const bool withPackage = original.readDirectory(input);
    if (!withPackage && !isWindowsProgram(in)) {
        error = input + ": neither an installer nor another Windows program (no PE image)";
        return false;
    }
    std::vector<std::string> args{"sign", "-certs", key.certificate, "-key", key.key, "-h", "sha256"};
    if (!key.timestampServer.empty()) args.insert(args.end(), {"-ts", key.timestampServer});
    args.insert(args.end(), {"-in", input, "-out", output});
    const ProgramRun run = runProgram(program_, args);
    if (run.exitCode != 0) {
        const std::string how = run.exitCode < 0 ? "did not run to its end" : "exit code " + std::to_string(run.exitCode);
        error = "sign: osslsigncode failed on " + input + " (" + how + "): " + firstLine(run.output);
        return false;
    }
    PackageReader reread;
    const bool packageKept = reread.readDirectory(output) && reread.entries().size() == original.entries().size();
    if (!reread.signatureFound() || (withPackage && !packageKept)) {
        error = withPackage ? "sign: the signed file no longer shows its package and signature"
                            : "sign: the signed file shows no signature";
        return false;
    }
    return true;
}

}  // namespace brindle::tool
