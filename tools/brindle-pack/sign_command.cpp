#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "host_program.h"
#include "host_system.h"
#include "package_file.h"

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

bool parse(const Arguments& args, SignOptions& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--cert" || arg == "--key" || arg == "--timestamp") && i + 1 < args.size()) {
            std::string& field = arg == "--cert" ? options.certificate
                                 : arg == "--key" ? options.key
                                                  : options.timestampServer;
            field = args[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            error = "sign: unknown or incomplete option '" + arg + "'";
            return false;
        } else if (options.installer.empty()) {
            options.installer = arg;
        } else {
            error = "sign: more than one installer given";
            return false;
        }
    }
    if (options.installer.empty() || options.certificate.empty() || options.key.empty())
        error = "sign: needs INSTALLER, --cert FILE and --key FILE (try --help)";
    return error.empty();
}

// The first line of the signer's output that says something, for a one-line message.
std::string firstLine(const std::string& output) {
    std::size_t start = output.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return "no message";
    return output.substr(start, output.find_first_of("\r\n", start) - start);
}

// Signs `options.installer` (whose package has `entryCount` entries) into
// `signedCopy`; fills `error` on failure.
bool signInto(const SignOptions& options, std::size_t entryCount, const std::string& signer,
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
    InputFile file;
    PackageReader reread;
    if (!readInstallerFile(signedCopy, file, reread).empty() || !reread.signatureFound() ||
        reread.entries().size() != entryCount) {
        error = "sign: the signed file no longer shows its package and signature";
        return false;
    }
    return true;
}
}  // namespace

int signCommand(const Arguments& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    SignOptions options;
    std::string error;
    if (!parse(args, options, error)) return fail(error, 2);
    std::size_t entryCount = 0;
    {  // the installer is closed again before the signed copy replaces it
        InputFile file;
        PackageReader package;
        if (const std::string problem = readInstallerFile(options.installer, file, package); !problem.empty())
            return fail(problem);
        entryCount = package.entries().size();
    }
    const std::optional<std::string> signer = findOnPath("osslsigncode");
    if (!signer) return fail("sign: osslsigncode, which makes the signature, is not found on PATH");

    // Signed beside the target first, so that a failure leaves the installer as it was.
    const std::string partial = options.installer + ".partial";
    const std::filesystem::path installerPath = hostPath(options.installer), partialPath = hostPath(partial);
    std::error_code failure;
    std::filesystem::remove(partialPath, failure);
    if (!signInto(options, entryCount, *signer, partial, error)) {
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

}  // namespace brindle::tool
