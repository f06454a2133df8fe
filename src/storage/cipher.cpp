#include "storage/cipher.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace dova::storage {
namespace {

// RC4 lives in the legacy provider. It is loaded into a library context of
// our own so the process-wide defaults stay as the rest of the program (and
// any other library) expect them.
struct CipherKit {
    OSSL_LIB_CTX* ctx = nullptr;
    EVP_CIPHER* rc4 = nullptr;
    EVP_MD* md5 = nullptr;

    CipherKit() {
        ctx = OSSL_LIB_CTX_new();
        if (ctx == nullptr) return;
        // Providers stay loaded for the life of the process, as the context does.
        if (OSSL_PROVIDER_load(ctx, "legacy") == nullptr) return;
        if (OSSL_PROVIDER_load(ctx, "default") == nullptr) return;
        rc4 = EVP_CIPHER_fetch(ctx, "RC4", nullptr);
        md5 = EVP_MD_fetch(ctx, "MD5", nullptr);
    }
    bool ready() const { return rc4 != nullptr && md5 != nullptr; }
};

const CipherKit& kit() {
    static const CipherKit k;
    return k;
}

constexpr std::size_t kKeyLength = 16;
constexpr std::size_t kDigestBytesUsed = 5;

// The 16-byte RC4 key: digest bytes 0..4, then 11 zero bytes.
bool derive_key(const CipherKit& k, std::string_view password, unsigned char (&key)[kKeyLength]) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digest_len = 0;
    if (EVP_Digest(password.data(), password.size(), digest, &digest_len, k.md5, nullptr) != 1 ||
        digest_len < kDigestBytesUsed) {
        return false;
    }
    std::memset(key, 0, sizeof key);
    std::memcpy(key, digest, kDigestBytesUsed);
    return true;
}

// XORs the key stream over `in` into `out` (both `n` bytes; they may be the
// same buffer).
bool apply(std::string_view password, const unsigned char* in, unsigned char* out, std::size_t n) {
    const CipherKit& k = kit();
    if (!k.ready()) return false;
    unsigned char key[kKeyLength];
    if (!derive_key(k, password, key)) return false;
    EVP_CIPHER_CTX* c = EVP_CIPHER_CTX_new();
    if (c == nullptr) return false;
    bool ok = EVP_EncryptInit_ex2(c, k.rc4, nullptr, nullptr, nullptr) == 1 &&
              EVP_CIPHER_CTX_set_key_length(c, static_cast<int>(kKeyLength)) == 1 &&
              EVP_EncryptInit_ex2(c, nullptr, key, nullptr, nullptr) == 1;
    // EVP counts in int, so long buffers go in slices; the key stream runs on.
    constexpr std::size_t kSlice = std::size_t{1} << 30;
    for (std::size_t done = 0; ok && done < n;) {
        std::size_t len = std::min(kSlice, n - done);
        int outl = 0;
        ok = EVP_EncryptUpdate(c, out + done, &outl, in + done, static_cast<int>(len)) == 1 &&
             static_cast<std::size_t>(outl) == len;
        done += len;
    }
    EVP_CIPHER_CTX_free(c);
    std::memset(key, 0, sizeof key);
    return ok;
}

std::string_view chosen_password(const BookState& s, std::string_view password, PasswordMode mode) {
    return mode == PasswordMode::book_password ? std::string_view(s.book_password) : password;
}

}  // namespace

bool cipher_available() {
    return kit().ready();
}

bool rc4_md5_apply(std::string_view password, std::string_view in, std::string& out) {
    std::string buf(in.size(), '\0');
    if (!in.empty() && !apply(password, reinterpret_cast<const unsigned char*>(in.data()),
                              reinterpret_cast<unsigned char*>(buf.data()), in.size())) {
        return false;
    }
    if (in.empty() && !cipher_available()) return false;
    out = std::move(buf);
    return true;
}

bool rc4_md5_apply_in_place(std::string_view password, std::string& bytes) {
    if (bytes.empty()) return cipher_available();
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    return apply(password, p, p, bytes.size());
}

std::string encrypt_text(const BookState& s, std::string_view text, std::string_view password,
                         PasswordMode mode) {
    if (text.empty()) return {};
    std::string out;
    if (!rc4_md5_apply(chosen_password(s, password, mode), text, out)) return {};
    return out;
}

std::string decrypt_bytes(const BookState& s, std::string_view bytes, std::string_view password,
                          PasswordMode mode) {
    if (bytes.empty()) return {};
    std::string out;
    if (!rc4_md5_apply(chosen_password(s, password, mode), bytes, out)) return {};
    cut_at_zero(out);
    return out;
}

void cut_at_zero(std::string& text) {
    std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
}

}  // namespace dova::storage
