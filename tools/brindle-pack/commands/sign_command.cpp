#include <cstdio>
#include <filesystem>

#include "commands/command.h"
#include "commands/signing.h"
#include "host/host_system.h"

namespace brindle::tool {

namespace {
const char kHelp[] =
    "usage: brindle-pack sign FILE --cert FILE --key FILE [--timestamp URL]\n"
    "\n"
    "Signs FILE in place with an Authenticode signature made by osslsigncode\n"
    "(found on PATH). FILE is an installer or any other Windows program (an\n"
    "uninstaller, a hook program). --cert names the certificate file (PEM or DER,\n"
    "with its chain), --key its private key (not encrypted). With --timestamp the\n"
    "signature is time-stamped by the RFC 3161 server at URL. The signed copy is\n"
    "made beside FILE and replaces it only when it carries its signature and, for\n"
    "an installer, its whole package; on any failure FILE stays as it was and the\n"
    "exit code is 1.\n";

int signCommand(const CommandOptions& given) {
    const std::string& target = given.positional[0];
    const SigningKey key{given.value("--cert"), given.value("--key"), given.value("--timestamp")};
    std::string error;
    Signer signer;
    if (!signer.find(error)) return fail(error);

    // Signed beside the target first, so that a failure leaves it as it was.
    const std::filesystem::path targetPath = hostPath(target), partialPath = hostPath(target + ".partial");
    std::error_code failure;
    std::filesystem::remove(partialPath, failure);
    if (!signer.sign(key, targetPath, partialPath, error)) {
        std::filesystem::remove(partialPath, failure);
        return fail(error + "; " + target + " left unchanged");
    }
    // The signed copy keeps the target's mode, an executable bit say.
    const std::filesystem::perms mode = std::filesystem::status(targetPath, failure).permissions();
    if (!failure) std::filesystem::permissions(partialPath, mode, failure);
    if (!failure) std::filesystem::rename(partialPath, targetPath, failure);
    if (failure) {
        const std::string reason = failure.message();
        std::filesystem::remove(partialPath, failure);
        return fail(target + ": " + reason);
    }
    return 0;
}
}  // namespace

const Command kSignCommand{
    "sign",
    "  sign FILE --cert FILE --key FILE [--timestamp URL]\n"
    "                                  sign an installer or other program in place\n",
    kHelp,
    {"--cert", "--key", "--timestamp"},
    {},
    1,
    1,
    {"--cert", "--key"},
    "needs FILE, --cert FILE and --key FILE",
    signCommand,
};

}  // namespace brindle::tool
