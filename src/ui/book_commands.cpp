#include "ui/book_commands.h"

#include <optional>
#include <string>

#include "app/start_up.h"
#include "platform/file_io.h"
#include "storage/book_io.h"
#include "storage/password_book.h"
#include "storage/signatures.h"
#include "text/texts.h"
#include "ui/entry_commands.h"
#include "ui/handlers.h"
#include "ui/password_page.h"

namespace dova::ui {
namespace {

constexpr std::string_view kBookEnding = ".dova";
// Several dropped files come as paths each followed by this.
constexpr std::string_view kPathSeparator = "\r\n";

Answer ask(Window& w, std::string_view text, Buttons buttons) {
    return w.message_box(text, texts::CAPTION_INFO, buttons);
}

// Clears the book and opens `path` in its place.
void open_in_place(BookState& s, Window& w, std::string path) {
    s.path_list.clear();
    reset_book(s, w);
    s.path_list = {std::move(path)};
    storage::open_book(s, w);
}

}  // namespace

void reset_book(BookState& s, Window& w) {
    s.entry_index.clear();
    w.list_reset();
    w.set_focus(Control::list);
    w.set_view(LIST_VIEW);
    w.set_menu_enabled(Menu::main_edit, true);
    w.set_menu_enabled(Menu::editor_edit, true);
    w.set_menu_shown(Menu::editor_edit, false);
    s.modified = false;
    w.set_menu_shown(Menu::main_edit, true);
    for (MenuItem item : {MenuItem::delete_entry, MenuItem::insert_entry, MenuItem::retitle,
                          MenuItem::edit_content}) {
        w.set_item_enabled(item, false);
    }
    for (EditBox box : {EditBox::diary, EditBox::old_password, EditBox::new_password,
                        EditBox::confirm_password}) {
        w.set_edit_text(box, {});
    }
    s.record_text.clear();
    s.editor_baseline.clear();
}

bool ask_save_changes(BookState& s, Window& w) {
    if (!s.modified) return true;
    switch (ask(w, texts::ASK_SAVE_CHANGES, Buttons::yes_no_cancel)) {
        case Answer::yes:
            return storage::save_book(s, w);
        case Answer::no:
            return true;
        default:
            return false;
    }
}

void new_book_command(BookState& s, Window& w) {
    if (!ask_save_changes(s, w)) return;
    reset_book(s, w);
    if (!s.book_password.empty() &&
        ask(w, texts::ASK_KEEP_PASSWORD, Buttons::yes_no) != Answer::yes) {
        s.book_password.clear();
    }
    s.path_list.clear();
}

void open_command(BookState& s, Window& w) {
    if (!ask_save_changes(s, w)) return;
    std::optional<std::string> path = w.file_dialog(/*save_mode=*/false, texts::TITLE_OPEN_BOOK);
    if (!path) return;
    // Byte for byte: "a.DOVA" is refused.
    if (!path->ends_with(kBookEnding)) {
        inform(w, texts::MSG_OPEN_WRONG_ENDING);
        return;
    }
    open_in_place(s, w, std::move(*path));
}

void save_command(BookState& s, Window& w) {
    storage::save_book(s, w);
}

void save_as_command(BookState& s, Window& w) {
    std::optional<std::string> kept;
    if (!s.path_list.empty()) kept = s.path_list.front();
    s.path_list.clear();
    if (storage::save_book(s, w)) return;
    s.path_list.clear();
    if (kept) s.path_list.push_back(std::move(*kept));
}

void about_command(BookState&, Window& w) {
    inform(w, texts::MSG_ABOUT);
}

void quit_command(BookState& s, Window& w) {
    if (w.view() == EDITOR_VIEW && !leave_editor(s, w)) return;
    if (storage::save_book(s, w)) app::end_program(s, w, 0);
}

bool close_query(BookState& s, Window& w) {
    switch (w.view()) {
        case EDITOR_VIEW:
            leave_editor(s, w);
            return false;
        case PASSWORD_VIEW:
            password_cancel(s, w);
            return false;
        default:
            break;
    }
    if (!s.modified) return true;
    if (ask(w, texts::ASK_SAVE_ON_CLOSE, Buttons::yes_no) != Answer::yes) return true;
    return storage::save_book(s, w);
}

void on_files_dropped(BookState& s, Window& w, std::string_view text) {
    std::string content;
    const bool one_file = !text.empty() && text.find(kPathSeparator) == std::string_view::npos;
    if (one_file) content = platform::read_whole_file(std::string(text)).value_or(std::string());

    if (storage::starts_with_password_book_signature(content)) {
        storage::import_password_book(s, w, content, texts::MSG_ERROR);
        return;
    }
    if (!ask_save_changes(s, w)) return;
    open_in_place(s, w, std::string(text));
}

}  // namespace dova::ui
