// Authenticode signatures, made by osslsigncode, for `sign` and for
// `build --sign-cert`.
#pragma once

#include <filesystem>
#include <string>

namespace brindle::tool {

struct SigningKey {
    std::string certificate;      // PEM or DER, with its chain
    std::string key;              // the private key, not encrypted
    std::string timestampServer;  // an RFC 3161 server; empty: no time stamp
};

class Signer {
public:
    // False, with `error` filled, when osslsigncode is not found on PATH.
    bool find(std::string& error);

    // Signs the Windows program `in` (an installer, or any PE file) into
    // `out` with SHA-256, then reads `out` back: it must carry its
    // certificate table and, when `in` carries a package, that package
    // whole. False with `error` otherwise; `out` is then left to the caller.
    bool sign(const SigningKey& key, const std::filesystem::path& in, const std::filesystem::path& out,
              std::string& error) const;

private:
    std::string program_;
};

}  // namespace brindle::tool
