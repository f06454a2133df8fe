// The book cipher: RC4 keyed with the first 5 bytes of MD5(password)
// followed by 11 zero bytes. Enciphering and deciphering are the same
// operation; the output is as long as the input.
#pragma once

#include <string>
#include <string_view>

#include "app/book_state.h"

namespace dova::storage {

// 0: use the state's book_password (the argument is ignored); 1: use the argument.
enum class PasswordMode { book_password = 0, given = 1 };

// Cipher bytes of `text`; empty for an empty text, and empty when the cipher
// is not available (callers must then refuse to write).
std::string encrypt_text(const BookState& s, std::string_view text, std::string_view password,
                         PasswordMode mode);
// The deciphered bytes up to the first zero byte.
std::string decrypt_bytes(const BookState& s, std::string_view bytes, std::string_view password,
                          PasswordMode mode);

// The raw operation under a given password (no cut at a zero byte); nothing
// when the cipher is not available.
bool rc4_md5_apply(std::string_view password, std::string_view in, std::string& out);
// Whether the cipher can be had on this system.
bool cipher_available();

// What decrypt_bytes gives for the bytes of `buffer` after its first `skip`
// (a file's signature), made in the same buffer: readers of large books need
// no second copy. False (buffer unspecified) when the cipher is not available.
bool decrypt_in_place(std::string_view password, std::string& buffer, std::size_t skip);

}  // namespace dova::storage
