// advapi32's cryptographic functions, which the programs import at start
// anyway: no code of our own for the hash, and no library bound late.
#include <windows.h>
#include <wincrypt.h>

#include "toolkit/digest.h"

namespace brindle {

std::string sha256Text(const std::string& bytes) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return {};
    HCRYPTHASH hash = 0;
    BYTE value[32];
    DWORD size = sizeof value;
    const bool hashed = CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) &&
                        CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()), 0) &&
                        CryptGetHashParam(hash, HP_HASHVAL, value, &size, 0) && size == sizeof value;
    if (hash != 0) CryptDestroyHash(hash);
    CryptReleaseContext(provider, 0);
    if (!hashed) return {};
    std::string text;
    for (const BYTE byte : value) {
        text += "0123456789abcdef"[byte >> 4];
        text += "0123456789abcdef"[byte & 15];
    }
    return text;
}

}  // namespace brindle
