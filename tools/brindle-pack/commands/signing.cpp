#include "commands/signing.h"

#include "commands/package_file.h"
#include "host/host_program.h"
#include "host/host_system.h"

namespace brindle::tool {

namespace {
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
    InputFile file;
    if (!file.open(input)) {
        error = input + ": cannot be opened";
        return false;
    }
    // An installer with its package, or another program, with nothing or
    // something other than a package behind its image (its symbols, say). A
    // signed file with something behind its certificate table or a table of
    // unknown entries is not signed again, nor is anything that is no program.
    PackageReader original;
    const PackageRead read = original.readDirectory(file, PackageFile::Installer);
    const bool withPackage = read == PackageRead::Read;
    if (read == PackageRead::NoPackage) {
        error = input + ": neither an installer nor another Windows program (no PE image)";
        return false;
    }
    if (!withPackage && read != PackageRead::NothingAppended && read != PackageRead::MissingBehindImage) {
        error = packageReadProblem(input, read);
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
    InputFile signedFile;
    PackageReader reread;
    const bool packageKept =
        readInstallerFile(output, signedFile, reread).empty() && reread.entries().size() == original.entries().size();
    if (!reread.signatureFound() || (withPackage && !packageKept)) {
        error = withPackage ? "sign: the signed file no longer shows its package and signature"
                            : "sign: the signed file shows no signature";
        return false;
    }
    return true;
}

}  // namespace brindle::tool
