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

// One run of the key stream under a password; the stream goes on across calls.
class KeyStream {
  public:
    explicit KeyStream(std::string_view password) {
        const CipherKit& k = kit();
        if (!k.ready()) return;
        unsigned char key[kKeyLength];
        if (!derive_key(k, password, key)) return;
        c_ = EVP_CIPHER_CTX_new();
        ok_ = c_ != nullptr && EVP_EncryptInit_ex2(c_, k.rc4, nullptr, nullptr, nullptr) == 1 &&
              EVP_CIPHER_CTX_set_key_length(c_, static_cast<int>(kKeyLength)) == 1 &&
              EVP_EncryptInit_ex2(c_, nullptr, key, nullptr, nullptr) == 1;
        std::memset(key, 0, sizeof key);
    }
    KeyStream(const KeyStream&) = delete;
    KeyStream& operator=(const KeyStream&) = delete;
    ~KeyStream() { EVP_CIPHER_CTX_free(c_); }

    bool ok() const { return ok_; }

    // XORs the next `n` bytes of the stream over `in` into `out` (which may
    // be the same buffer).
    bool apply(const unsigned char* in, unsigned char* out, std::size_t n) {
        // EVP counts in int, so long buffers go in slices.
        constexpr std::size_t kSlice = std::size_t{1} << 30;
        for (std::size_t done = 0; ok_ && done < n;) {
            std::size_t len = std::min(kSlice, n - done);
            int outl = 0;
            ok_ = EVP_EncryptUpdate(c_, out + done, &outl, in + done, static_cast<int>(len)) == 1 &&
                  static_cast<std::size_t>(outl) == len;
            done += len;
        }
        return ok_;
    }

  private:
    EVP_CIPHER_CTX* c_ = nullptr;
    bool ok_ = false;
};

std::string_view chosen_password(const BookState& s, std::string_view password, PasswordMode mode) {
    return mode == PasswordMode::book_password ? std::string_view(s.book_password) : password;
}

}  // namespace

bool cipher_available() {
    return kit().ready();
}

bool rc4_md5_apply(std::string_view password, std::string_view in, std::string& out) {
    KeyStream ks(password);
    if (!ks.ok()) return false;
    std::string buf(in.size(), '\0');
    if (!ks.apply(reinterpret_cast<const unsigned char*>(in.data()),
                  reinterpret_cast<unsigned char*>(buf.data()), in.size())) {
        return false;
    }
    out = std::move(buf);
    return true;
}

bool decrypt_in_place(std::string_view password, std::string& buffer, std::size_t skip) {
    KeyStream ks(password);
    if (!ks.ok()) return false;
    auto* base = reinterpret_cast<unsigned char*>(buffer.data());
    const std::size_t n = buffer.size() > skip ? buffer.size() - skip : 0;
    // Slices go through a small buffer that stays in cache, which lets the
    // text move down over the skipped bytes and stop at its first zero byte
    // without another pass over the whole of it.
    unsigned char slice[32 * 1024];
    std::size_t done = 0;
    while (done < n) {
        const std::size_t len = std::min(sizeof slice, n - done);
        if (!ks.apply(base + skip + done, slice, len)) return false;
        const void* zero = std::memchr(slice, 0, len);
        const std::size_t keep =
            zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - slice) : len;
        std::memcpy(base + done, slice, keep);
        done += keep;
        if (zero) break;
    }
    buffer.resize(done);
    return true;
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
    std::string out(bytes);
    if (!decrypt_in_place(chosen_password(s, password, mode), out, 0)) return {};
    return out;
}

}  // namespace dova::storage
