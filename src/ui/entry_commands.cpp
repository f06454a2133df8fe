// The entry commands of the main 编辑(&E) menu, the list's mouse actions and
// the editor view with its clipboard commands.
#include "ui/entry_commands.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/entry_store.h"
#include "text/texts.h"
#include "ui/handlers.h"

namespace dova::ui {

namespace {

using model::TextFault;

void show_fault(Window& w, TextFault fault) {
    inform(w, model::fault_message(fault));
}

bool has_focused_entry(const BookState& s) {
    const int f = s.entry_index.focused_index;
    return f >= 0 && f < s.entry_index.size();
}

// -1 when there is no focused entry; the store then finds no record.
std::int32_t focused_record_number(const BookState& s) {
    if (!has_focused_entry(s)) return -1;
    return s.entry_index.items[static_cast<std::size_t>(s.entry_index.focused_index)].record_number;
}

// How the title prompt treats an OK with nothing typed.
enum class EmptyTitle { use_date, cancel };

// Asks for a title and hands it to `apply` until the book accepts it or the
// user cancels. A refused title is offered again as typed, so the user only
// has to mend it. Returns whether a title was applied.
template <typename Apply>
bool ask_title(Window& w, std::string initial, EmptyTitle empty, Apply apply) {
    for (;;) {
        std::optional<std::string> typed =
            w.input_box(texts::PROMPT_TITLE, texts::CAPTION_INPUT, initial, InputMode::plain, true);
        if (!typed) return false;
        std::string title = *typed;
        if (title.empty()) {
            if (empty == EmptyTitle::cancel) return false;
            title = model::default_title();
        }
        TextFault fault = model::check_title(title);
        if (fault == TextFault::none) fault = apply(title);
        if (fault == TextFault::none) return true;
        show_fault(w, fault);
        initial = std::move(*typed);
    }
}

// Selects a list item as the program does: it becomes the focused entry, and
// the window raises no selection event for it.
void select_item(BookState& s, Window& w, int index) {
    s.entry_index.focused_index = index;
    w.select_list_item(index);
}

// Stores the editor's trimmed text into the focused entry's record. On a
// refusal the user is told and nothing changes, so the editor keeps the text.
bool store_body(BookState& s, Window& w, std::string_view body) {
    const TextFault fault = model::check_body(body);
    if (fault != TextFault::none) {
        show_fault(w, fault);
        return false;
    }
    const model::StoreOutcome out = model::store_record_body(s, focused_record_number(s), body);
    switch (out.result) {
        case model::StoreResult::stored:
            return true;
        case model::StoreResult::refused:
            show_fault(w, out.fault);
            return false;
        case model::StoreResult::no_record:
            inform(w, texts::MSG_ERROR);
            return false;
    }
    return false;
}

}  // namespace

void enable_entry_items(Window& w, bool enabled) {
    for (MenuItem item : {MenuItem::delete_entry, MenuItem::insert_entry, MenuItem::retitle,
                          MenuItem::edit_content}) {
        w.set_item_enabled(item, enabled);
    }
}

void new_entry_flow(BookState& s, Window& w) {
    int index = -1;
    const bool added =
        ask_title(w, model::default_title(), EmptyTitle::use_date, [&](const std::string& title) {
            const model::AddResult r = model::append_entry(s, title);
            index = r.index;
            return r.fault;
        });
    if (!added) return;
    w.list_inserted(index);
    select_item(s, w, index);
    // The program's own selection raises no event, so do what one would.
    enable_entry_items(w, true);
}

void insert_entry_flow(BookState& s, Window& w) {
    int index = -1;
    const bool added =
        ask_title(w, model::default_title(), EmptyTitle::use_date, [&](const std::string& title) {
            const model::AddResult r = model::insert_entry(s, title);
            index = r.index;
            return r.fault;
        });
    // An empty list has no entry to insert before: nothing was added.
    if (!added || index == -1) return;
    w.list_inserted(index);
    select_item(s, w, index);
}

void delete_entry_flow(BookState& s, Window& w) {
    const Answer answer =
        w.message_box(texts::ASK_DELETE_ENTRY, texts::CAPTION_INFO, Buttons::ok_cancel_warning);
    if (answer != Answer::ok) return;
    const bool had_item = has_focused_entry(s);
    const int f = s.entry_index.focused_index;
    model::delete_entry(s);
    if (had_item) w.list_removed(f);
}

void retitle_flow(BookState& s, Window& w) {
    const bool had_item = has_focused_entry(s);
    const int f = s.entry_index.focused_index;
    const std::string current =
        had_item ? s.entry_index.items[static_cast<std::size_t>(f)].title : std::string();
    bool changed = false;
    const bool retitled = ask_title(w, current, EmptyTitle::cancel, [&](const std::string& title) {
        changed = title != current;
        return model::retitle_entry(s, title);
    });
    if (retitled && had_item && changed) w.list_changed(f);
}

void enter_editor(BookState& s, Window& w) {
    if (!has_focused_entry(s)) {
        inform(w, texts::MSG_NO_ENTRY_SELECTED);
        return;
    }
    model::FetchResult fetched = model::fetch_record_body(s, focused_record_number(s));
    if (!fetched.in_range || !fetched.found) {
        inform(w, texts::MSG_ERROR);
        return;
    }
    w.set_menu_shown(Menu::main_edit, false);
    w.set_menu_shown(Menu::editor_edit, true);
    s.editor_baseline = fetched.body;
    w.set_outer_size(EDITOR_WIDTH, EDITOR_HEIGHT);
    fetched.body += "\r\n";
    w.set_edit_text(EditBox::diary, fetched.body);
    w.set_focus(Control::diary);
    w.set_view(EDITOR_VIEW);
}

void store_editor_text(BookState& s, Window& w) {
    const std::string text = w.edit_text(EditBox::diary);
    const std::string_view body = model::trim_crlf(text);
    if (body == s.editor_baseline) return;
    if (store_body(s, w, body)) s.editor_baseline = std::string(body);
}

bool leave_editor(BookState& s, Window& w) {
    const std::string text = w.edit_text(EditBox::diary);
    const std::string_view body = model::trim_crlf(text);
    if (body != s.editor_baseline) {
        const Answer answer =
            w.message_box(texts::ASK_STORE_EDITOR, texts::CAPTION_INFO, Buttons::yes_no_cancel);
        if (answer == Answer::yes) {
            // A text the book cannot carry keeps the editor open, as Cancel
            // does, so nothing the user typed is thrown away.
            if (!store_body(s, w, body)) return false;
        } else if (answer != Answer::no) {
            return false;
        }
    }
    w.set_outer_size(LIST_WIDTH, LIST_HEIGHT);
    w.set_view(LIST_VIEW);
    w.set_edit_text(EditBox::diary, "");
    w.set_menu_shown(Menu::editor_edit, false);
    w.set_menu_shown(Menu::main_edit, true);
    s.editor_baseline.clear();
    return true;
}

void copy_flow(BookState&, Window& w) {
    // An unreachable clipboard is not worth a message: nothing happens.
    w.set_clipboard_text(w.edit_text(EditBox::diary));
}

void paste_flow(BookState&, Window& w) {
    const std::optional<std::string> text = w.clipboard_text();
    // With no text to paste the selection is kept rather than deleted.
    if (!text || text->empty()) return;
    w.replace_selection(EditBox::diary, *text);
}

void on_list_caret_moved(BookState& s, int index) {
    if (index < 0 || index >= s.entry_index.size()) return;
    s.entry_index.focused_index = index;
}

void on_list_selected(BookState& s, Window& w, int index) {
    if (index < 0 || index >= s.entry_index.size()) return;
    on_list_caret_moved(s, index);
    enable_entry_items(w, true);
}

void on_list_double_clicked(BookState& s, Window& w) {
    enter_editor(s, w);
}

void on_list_right_click(BookState&, Window& w) {
    w.popup_menu(Menu::main_edit);
}

bool on_editor_right_click(BookState&, Window& w) {
    if (!w.selected_text(EditBox::diary).empty()) return false;
    w.popup_menu(Menu::editor_edit);
    return true;
}

}  // namespace dova::ui
