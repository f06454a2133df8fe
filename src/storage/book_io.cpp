#include "storage/book_io.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/file_io.h"
#include "storage/book_format.h"
#include "storage/cipher.h"
#include "storage/password_book.h"
#include "storage/signatures.h"
#include "text/texts.h"
#include "ui/entry_commands.h"

namespace dova::storage {
namespace {

// "：" between a failure and its reason.
constexpr std::string_view kReasonColon = "\xA3\xBA";

// Whether the deciphered text would begin with the check text.
bool opens_book(std::string_view password, std::string_view cipher) {
    const std::size_t n = std::min(cipher.size(), texts::CHECK_TEXT.size());
    std::string head;
    return rc4_md5_apply(password, cipher.substr(0, n), head) && head == texts::CHECK_TEXT;
}

// The caller cleared the book, so the entries of the file are the whole list.
void take_entries(BookState& s, ui::Window& w, ParseResult& parsed) {
    auto& items = s.entry_index.items;
    items.reserve(items.size() + parsed.entries.size());
    for (ParsedEntry& e : parsed.entries) items.push_back({std::move(e.title), e.record_number});
    if (s.entry_index.focused_index < 0 && !items.empty()) s.entry_index.focused_index = 0;
    s.record_text = std::move(parsed.record_text);
    w.list_reset();
}

}  // namespace

void open_book(BookState& s, ui::Window& w) {
    std::string content;
    if (!s.path_list.empty() && !s.path_list.front().empty()) {
        content = platform::read_whole_file(s.path_list.front()).value_or(std::string());
    }

    if (!starts_with_book_signature(content)) {
        if (starts_with_password_book_signature(content)) {
            import_password_book(s, w, content, texts::MSG_ERROR);
            // The window now shows an empty book; keeping the password book's
            // path would let the next save overwrite it with that book.
            s.path_list.clear();
            return;
        }
        ui::inform(w, texts::MSG_NOT_A_BOOK);
        s.path_list.clear();
        return;
    }

    // Whether a password opens the book shows in the first bytes alone, so
    // only those are deciphered until the password is settled; then the
    // whole file is deciphered once, in its own buffer.
    const std::string_view cipher = std::string_view(content).substr(BOOK_SIGNATURE.size());
    if (!opens_book(s.book_password, cipher)) {
        std::optional<std::string> entered =
            w.input_box(texts::PROMPT_OPEN_PASSWORD, texts::CAPTION_OPEN_PASSWORD, {},
                        ui::InputMode::password, /*owned=*/false);
        if (!entered) {
            s.path_list.clear();
            return;
        }
        s.book_password = std::move(*entered);
    }
    if (!decrypt_in_place(s.book_password, content, BOOK_SIGNATURE.size())) content.clear();

    ParseResult parsed = parse_owned_book_text(std::move(content));
    switch (parsed.outcome) {
        case ParseOutcome::no_check_text:
            s.path_list.clear();
            ui::inform(w, texts::MSG_WRONG_PASSWORD);
            break;
        case ParseOutcome::bad_layout:
            s.path_list.clear();
            ui::inform(w, texts::MSG_BAD_LAYOUT, texts::CAPTION_ERROR);
            break;
        case ParseOutcome::no_entries:
            break;
        case ParseOutcome::entries:
            take_entries(s, w, parsed);
            break;
    }
}

bool save_book(BookState& s, ui::Window& w) {
    if (w.view() == ui::EDITOR_VIEW) ui::leave_editor(s, w);
    if (!s.modified) return true;

    BuildResult built = build_book_text(s.entry_index, s.record_text);
    if (!built.ok) {
        ui::inform(w, model::fault_message(built.fault));
        return false;
    }

    bool path_chosen_now = false;
    if (s.path_list.empty()) {
        std::optional<std::string> path = w.file_dialog(/*save_mode=*/true, texts::TITLE_SAVE_BOOK);
        if (!path) {
            ui::inform(w, texts::MSG_SAVE_NO_PATH);
            return false;
        }
        s.path_list.push_back(std::move(*path));
        path_chosen_now = true;
    }
    // A path that was never written to must not become the book's path, or
    // the next save would go there without asking.
    auto fail = [&](std::string_view message) {
        if (path_chosen_now) s.path_list.clear();
        ui::inform(w, message);
        return false;
    };

    const std::string cipher = encrypt_text(s, built.text, {}, PasswordMode::book_password);
    if (cipher.empty() && !built.text.empty()) return fail(texts::MSG_NO_CIPHER);

    std::string content;
    content.reserve(BOOK_SIGNATURE.size() + cipher.size());
    content.append(BOOK_SIGNATURE).append(cipher);
    const std::string reason = platform::write_file_atomically(s.path_list.front(), content);
    if (!reason.empty()) {
        std::string message(texts::MSG_SAVE_FAILED);
        message.append(kReasonColon).append(reason);
        return fail(message);
    }
    return true;
}

}  // namespace dova::storage
