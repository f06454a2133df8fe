#include "storage/password_book.h"

#include <optional>
#include <string>

#include "platform/file_io.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "text/gbk.h"
#include "text/texts.h"

namespace dova::storage {
void export_password_book(BookState& s, ui::Window& w) {
    std::optional<std::string> path =
        w.file_dialog(/*save_mode=*/true, texts::TITLE_EXPORT_PASSWORD);
    if (!path) {
        ui::inform(w, texts::MSG_SAVE_NO_PATH);
        return;
    }
    const std::string plain = s.book_password + ",";
    const std::string cipher = encrypt_text(s, plain, {}, PasswordMode::given);
    // Without the cipher the file would carry no password at all.
    if (cipher.empty()) {
        ui::inform(w, texts::MSG_NO_CIPHER);
        return;
    }
    std::string content;
    content.reserve(PASSWORD_BOOK_SIGNATURE.size() + cipher.size());
    content.append(PASSWORD_BOOK_SIGNATURE).append(cipher);
    const bool written = platform::write_file_atomically(*path, content).empty();
    ui::inform(w, written ? texts::MSG_EXPORT_DONE : texts::MSG_EXPORT_FAILED);
}

void import_password_book(BookState& s, ui::Window& w, std::string_view content,
                          std::string_view empty_message) {
    const std::string_view cipher = content.size() > PASSWORD_BOOK_SIGNATURE.size()
                                        ? content.substr(PASSWORD_BOOK_SIGNATURE.size())
                                        : std::string_view();
    const std::string plain = decrypt_bytes(s, cipher, {}, PasswordMode::given);
    text::Splitter pieces(plain, ",");
    std::string_view password;
    if (!pieces.next(password)) {
        ui::inform(w, empty_message);
        return;
    }

    if (s.book_password.empty()) {
        s.book_password = std::string(password);
        ui::inform(w, texts::MSG_PASSWORD_IMPORTED);
        return;
    }
    if (w.message_box(texts::ASK_REPLACE_PASSWORD, texts::CAPTION_INFO, ui::Buttons::yes_no) !=
        ui::Answer::yes) {
        return;
    }
    std::optional<std::string> old = w.input_box(texts::PROMPT_OLD_PASSWORD, texts::CAPTION_INPUT,
                                                 {}, ui::InputMode::password, /*owned=*/false);
    if (!old) return;
    if (*old != s.book_password) {
        ui::inform(w, texts::MSG_OLD_PASSWORD_WRONG);
        return;
    }
    s.book_password = std::string(password);
    ui::inform(w, texts::MSG_PASSWORD_REPLACED);
}

void load_password_command(BookState& s, ui::Window& w) {
    std::optional<std::string> path =
        w.file_dialog(/*save_mode=*/false, texts::TITLE_LOAD_PASSWORD);
    if (!path) return;
    const std::string content = platform::read_whole_file(*path).value_or(std::string());
    if (starts_with_book_signature(content)) {
        ui::inform(w, texts::MSG_BOOK_NOT_PASSWORD_BOOK);
        return;
    }
    if (!starts_with_password_book_signature(content)) {
        ui::inform(w, texts::MSG_NOT_A_PASSWORD_BOOK);
        return;
    }
    import_password_book(s, w, content, texts::MSG_PASSWORD_BOOK_EMPTY);
}

}  // namespace dova::storage
