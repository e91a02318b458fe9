#include <cstdio>
#include <filesystem>

#include "commands/command.h"
#include "host/host_program.h"
#include "host/host_system.h"
#include "package/package_reader.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack sign INSTALLER --cert FILE --key FILE [--timestamp URL]\n"
    "\n"
    "Signs INSTALLER in place with an Authenticode signature made by osslsigncode\n"
    "(found on PATH): --cert names the certificate file (PEM or DER, with its\n"
    "chain), --key its private key (not encrypted). With --timestamp the signature\n"
    "is time-stamped by the RFC 3161 server at URL. The signed copy is made beside\n"
    "INSTALLER and replaces it only when its package still reads back; on any\n"
    "failure INSTALLER stays as it was and the exit code is 1.\n";

struct SignOptions {
    std::string installer;
    std::string certificate;
    std::string key;
    std::string timestampServer;
};

// The first line of the signer's output that says something, for a one-line message.
std::string firstLine(const std::string& output) {
    std::size_t start = output.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return "no message";
    return output.substr(start, output.find_first_of("\r\n", start) - start);
}

// Signs `options.installer` (whose package is `original`) into `signedCopy`;
// fills `error` on failure.
bool signInto(const SignOptions& options, const PackageReader& original, const std::string& signer,
              const std::string& signedCopy, std::string& error) {
    std::vector<std::string> args{"sign", "-certs", options.certificate, "-key", options.key, "-h", "sha256"};
    if (!options.timestampServer.empty()) args.insert(args.end(), {"-ts", options.timestampServer});
    args.insert(args.end(), {"-in", options.installer, "-out", signedCopy});
    const ProgramRun run = runProgram(signer, args);
    if (run.exitCode != 0) {
        const std::string how = run.exitCode < 0 ? "did not run to its end" : "exit code " + std::to_string(run.exitCode);
        error = "sign: osslsigncode failed (" + how + "): " + firstLine(run.output);
        return false;
    }
    PackageReader reread;
    if (!reread.readDirectory(signedCopy) || !reread.signatureFound() ||
        reread.entries().size() != original.entries().size()) {
        error = "sign: the signed file no longer shows its package and signature";
        return false;
    }
    return true;
}

int signCommand(const CommandOptions& given) {
    const SignOptions options{given.positional[0], given.value("--cert"), given.value("--key"),
                              given.value("--timestamp")};
    std::string error;
    PackageReader package;
    if (!package.readDirectory(options.installer)) return fail(options.installer + ": no package found");
    const std::optional<std::string> signer = findOnPath("osslsigncode");
    if (!signer) return fail("sign: osslsigncode, which makes the signature, is not found on PATH");

    // Signed beside the target first, so that a failure leaves the installer as it was.
    const std::string partial = options.installer + ".partial";
    const std::filesystem::path installerPath = hostPath(options.installer), partialPath = hostPath(partial);
    std::error_code failure;
    std::filesystem::remove(partialPath, failure);
    if (!signInto(options, package, *signer, partial, error)) {
        std::filesystem::remove(partialPath, failure);
        return fail(error + "; " + options.installer + " left unchanged");
    }
    // The signed copy keeps the installer's mode, an executable bit say.
    const std::filesystem::perms mode = std::filesystem::status(installerPath, failure).permissions();
    if (!failure) std::filesystem::permissions(partialPath, mode, failure);
    if (!failure) std::filesystem::rename(partialPath, installerPath, failure);
    if (failure) {
        const std::string reason = failure.message();
        std::filesystem::remove(partialPath, failure);
        return fail(options.installer + ": " + reason);
    }
    return 0;
}
}  // namespace

const Command kSignCommand{
    "sign",
    "  sign INSTALLER --cert FILE --key FILE [--timestamp URL]\n"
    "                                  sign INSTALLER in place (osslsigncode)\n",
    kHelp,
    {"--cert", "--key", "--timestamp"},
    {},
    1,
    1,
    {"--cert", "--key"},
    "needs INSTALLER, --cert FILE and --key FILE",
    signCommand,
};

}  // namespace brindle::tool
