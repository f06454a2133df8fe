// Deciphering any bytes under any password and reading the result as a book
// never crashes; enciphering and deciphering give the text back up to its
// first zero byte.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/book_format.h"
#include "storage/cipher.h"

using namespace dova;
using namespace dova::storage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte: the password's length; then the password; then the cipher bytes.
    std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t password_length = std::min<std::size_t>(data[0], in.size());
    std::string_view password = in.substr(0, password_length);
    std::string_view bytes = in.substr(password_length);

    BookState s;
    std::string plain = decrypt_bytes(s, bytes, password, PasswordMode::given);
    if (plain.size() > bytes.size() || plain.find('\0') != std::string::npos) std::abort();
    (void)parse_book_text(plain);

    std::string cipher = encrypt_text(s, bytes, password, PasswordMode::given);
    if (cipher.size() != bytes.size()) std::abort();
    std::string back = decrypt_bytes(s, cipher, password, PasswordMode::given);
    if (std::string_view(back) != bytes.substr(0, bytes.find('\0'))) std::abort();
    return 0;
}
