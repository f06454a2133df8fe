// Stub: replaced by the real cipher.
#include "storage/cipher.h"
namespace dova::storage {
std::string encrypt_text(const BookState&, std::string_view, std::string_view, PasswordMode) { return {}; }
std::string decrypt_bytes(const BookState&, std::string_view, std::string_view, PasswordMode) { return {}; }
bool rc4_md5_apply(std::string_view, std::string_view, std::string&) { return false; }
bool cipher_available() { return false; }
}  // namespace dova::storage
