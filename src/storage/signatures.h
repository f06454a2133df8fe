// The constant PNG pictures at the head of the two kinds of file.
#pragma once

#include <string_view>

namespace dova::storage {

extern const std::string_view BOOK_SIGNATURE;           // 285 bytes
extern const std::string_view PASSWORD_BOOK_SIGNATURE;  // 222 bytes

inline bool starts_with_book_signature(std::string_view content) {
    return content.size() >= BOOK_SIGNATURE.size() && content.starts_with(BOOK_SIGNATURE);
}
inline bool starts_with_password_book_signature(std::string_view content) {
    return content.size() >= PASSWORD_BOOK_SIGNATURE.size() &&
           content.starts_with(PASSWORD_BOOK_SIGNATURE);
}

}  // namespace dova::storage
