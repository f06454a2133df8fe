// Real files for the book tests: a temporary folder that cleans up after
// itself, and the bytes of book and password-book files made by hand.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "app/book_state.h"
#include "storage/book_format.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "text/codec.h"
#include "text/texts.h"

// Own namespace: other test helpers define their own small fixtures.
namespace dova::testing::book_files {

// GBK bytes of a UTF-8 literal.
inline std::string gbk(std::string_view utf8) {
    return text::utf8_to_gbk(utf8);
}

class TempFolder {
  public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "dova-books-XXXXXX").string();
        if (mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        // Give back write permission to folders a test locked, or they stay behind.
        for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec)) {
            if (e.is_directory(ec)) chmod(e.path().c_str(), 0700);
        }
        chmod(path_.c_str(), 0700);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

  private:
    std::string path_;
};

inline void write_bytes(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline std::optional<std::string> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string encipher(std::string_view plain, std::string_view password) {
    return storage::encrypt_text(BookState{}, plain, password, storage::PasswordMode::given);
}

// A book file: the signature, then `plain` enciphered under `password`.
inline std::string book_bytes(std::string_view plain, std::string_view password) {
    return std::string(storage::BOOK_SIGNATURE) + encipher(plain, password);
}

// A password-book file whose plain content is `plain` (normally password + ",").
// The record of one entry as the book keeps it.
inline std::string record_of(std::string_view body) {
    return "\r\n" + std::string(texts::RECORD_HEAD) + std::string(body) +
           std::string(texts::RECORD_TAIL);
}

inline std::string password_book_bytes(std::string_view plain) {
    return std::string(storage::PASSWORD_BOOK_SIGNATURE) + encipher(plain, "");
}

// The bytes a book with these entries is saved as.
inline std::string saved_book_bytes(const model::EntryIndex& index, std::string_view record_text,
                                    std::string_view password) {
    storage::BuildResult built = storage::build_book_text(index, record_text);
    EXPECT_TRUE(built.ok);
    return book_bytes(built.text, password);
}

// Reads a book file back without the program's own opening code.
inline storage::ParseResult read_book(const std::string& path, std::string_view password) {
    std::optional<std::string> content = read_bytes(path);
    if (!content || !storage::starts_with_book_signature(*content)) return {};
    std::string_view cipher = std::string_view(*content).substr(storage::BOOK_SIGNATURE.size());
    return storage::parse_book_text(
        storage::decrypt_bytes(BookState{}, cipher, password, storage::PasswordMode::given));
}

}  // namespace dova::testing::book_files
