// An in-memory window for driving the command procedures in tests: every box
// is answered from a script set up in advance, and every state can be read
// back. A box with no scripted answer fails the test and is cancelled.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/book_state.h"
#include "ui/handlers.h"
#include "ui/window.h"

namespace dova::testing {

// Thrown by destroy_and_exit so a test can see that the program ended.
struct ProgramEnded {
    int code;
};

struct MessageShown {
    std::string text;
    std::string caption;
    ui::Buttons buttons;
};

struct InputShown {
    std::string prompt;
    std::string caption;
    std::string initial;
    ui::InputMode mode;
    bool owned;
};

struct DialogShown {
    bool save_mode;
    std::string title;
};

class ScriptedWindow : public ui::Window {
  public:
    // `state` receives the focus events of the confirmation box.
    explicit ScriptedWindow(BookState* state = nullptr) : state_(state) {
        using ui::Menu;
        using ui::MenuItem;
        menu_shown_ = {{Menu::program, true},
                       {Menu::main_edit, true},
                       {Menu::editor_edit, false},
                       {Menu::account, true}};
        menu_enabled_ = {{Menu::program, true},
                         {Menu::main_edit, true},
                         {Menu::editor_edit, true},
                         {Menu::account, true}};
        for (int i = 0; i <= static_cast<int>(MenuItem::export_password); ++i) {
            item_enabled_[static_cast<MenuItem>(i)] = true;
        }
        for (auto item : {MenuItem::edit_content, MenuItem::retitle, MenuItem::insert_entry,
                          MenuItem::delete_entry}) {
            item_enabled_[item] = false;
        }
        for (auto box : {ui::EditBox::diary, ui::EditBox::old_password, ui::EditBox::new_password,
                         ui::EditBox::confirm_password}) {
            edits_[box] = Edit{};
        }
    }

    // ---- the script ----
    std::deque<ui::Answer> message_answers;
    std::deque<std::optional<std::string>> input_answers;
    std::deque<std::optional<std::string>> dialog_answers;
    std::deque<std::optional<ui::MenuItem>> popup_choices;  // item chosen in a pop-up, or none
    std::optional<std::string> clipboard;                   // nothing: no text on it
    bool clipboard_reachable = true;

    // ---- what happened ----
    std::vector<MessageShown> messages;
    std::vector<InputShown> inputs;
    std::vector<DialogShown> dialogs;
    std::vector<ui::Menu> popups;
    std::vector<std::string> list_events;  // "reset", "insert 3", "remove 0", "change 1"
    std::vector<int> waits;
    int drop_registrations = 0;
    int width = ui::CREATED_WIDTH, height = ui::CREATED_HEIGHT;
    int selected_item = -1;
    std::optional<ui::Control> focus;
    std::string mark_text;
    bool masked = true;
    bool show_password = false;  // the check box; tests tick it before the click handler

    // ---- the interface ----
    int view() const override { return view_; }
    void set_view(int page) override { view_ = page; }
    void set_outer_size(int w, int h) override { width = w, height = h; }
    void set_menu_enabled(ui::Menu m, bool e) override { menu_enabled_[m] = e; }
    void set_menu_shown(ui::Menu m, bool s) override { menu_shown_[m] = s; }
    void set_item_enabled(ui::MenuItem i, bool e) override { item_enabled_[i] = e; }
    void list_reset() override { list_events.push_back("reset"); }
    void list_inserted(int i) override { list_events.push_back("insert " + std::to_string(i)); }
    void list_removed(int i) override { list_events.push_back("remove " + std::to_string(i)); }
    void list_changed(int i) override { list_events.push_back("change " + std::to_string(i)); }
    void select_list_item(int i) override {
        selected_item = i;
        if (state_) state_->entry_index.focused_index = i;
    }

    std::string edit_text(ui::EditBox b) const override { return edits_.at(b).text; }
    void set_edit_text(ui::EditBox b, std::string_view t) override {
        edits_[b].text = std::string(t);
        edits_[b].sel_start = edits_[b].sel_len = 0;
        edits_[b].undo.clear();
    }
    std::string selected_text(ui::EditBox b) const override {
        const Edit& e = edits_.at(b);
        return e.text.substr(e.sel_start, e.sel_len);
    }
    void replace_selection(ui::EditBox b, std::string_view t) override {
        Edit& e = edits_[b];
        e.undo.push_back(e.text);
        e.text.replace(e.sel_start, e.sel_len, t);
        e.sel_start += t.size();
        e.sel_len = 0;
    }
    void set_edit_enabled(ui::EditBox b, bool e) override { edits_[b].enabled = e; }
    bool edit_enabled(ui::EditBox b) const override { return edits_.at(b).enabled; }
    void set_passwords_masked(bool m) override { masked = m; }
    bool show_password_ticked() const override { return show_password; }
    void set_mark_text(std::string_view t) override { mark_text = std::string(t); }
    void set_focus(ui::Control c) override {
        std::optional<ui::Control> old = focus;
        focus = c;
        if (!state_ || old == c) return;
        if (old == ui::Control::confirm_password) ui::on_confirm_focus_out(*state_, *this);
        if (c == ui::Control::confirm_password) ui::on_confirm_focus_in(*state_, *this);
    }

    void popup_menu(ui::Menu m) override {
        popups.push_back(m);
        if (popup_choices.empty()) return;
        auto choice = popup_choices.front();
        popup_choices.pop_front();
        if (choice && state_) ui::on_menu_item(*state_, *this, *choice);
    }

    std::optional<std::string> file_dialog(bool save_mode, std::string_view title) override {
        dialogs.push_back({save_mode, std::string(title)});
        if (dialog_answers.empty()) {
            ADD_FAILURE() << "unscripted file dialog";
            return std::nullopt;
        }
        auto a = dialog_answers.front();
        dialog_answers.pop_front();
        return a;
    }
    ui::Answer message_box(std::string_view text, std::string_view caption,
                           ui::Buttons buttons) override {
        messages.push_back({std::string(text), std::string(caption), buttons});
        if (buttons == ui::Buttons::ok) return ui::Answer::ok;  // nothing to choose
        if (message_answers.empty()) {
            ADD_FAILURE() << "unscripted message box";
            return buttons == ui::Buttons::yes_no ? ui::Answer::no : ui::Answer::cancel;
        }
        auto a = message_answers.front();
        message_answers.pop_front();
        return a;
    }
    std::optional<std::string> input_box(std::string_view prompt, std::string_view caption,
                                         std::string_view initial, ui::InputMode mode,
                                         bool owned) override {
        inputs.push_back(
            {std::string(prompt), std::string(caption), std::string(initial), mode, owned});
        if (input_answers.empty()) {
            ADD_FAILURE() << "unscripted input box";
            return std::nullopt;
        }
        auto a = input_answers.front();
        input_answers.pop_front();
        return a;
    }

    bool set_clipboard_text(std::string_view t) override {
        if (!clipboard_reachable) return false;
        clipboard = std::string(t);
        return true;
    }
    std::optional<std::string> clipboard_text() override {
        if (!clipboard_reachable) return std::nullopt;
        return clipboard;
    }

    void wait_dispatching(int ms) override { waits.push_back(ms); }
    void register_drop_target() override { ++drop_registrations; }
    [[noreturn]] void destroy_and_exit(int code) override { throw ProgramEnded{code}; }

    // ---- helpers for tests ----
    bool menu_enabled(ui::Menu m) const { return menu_enabled_.at(m); }
    bool menu_shown(ui::Menu m) const { return menu_shown_.at(m); }
    bool item_enabled(ui::MenuItem i) const { return item_enabled_.at(i); }
    // Selects [start, start + len) of a box, as the user would.
    void select(ui::EditBox b, std::size_t start, std::size_t len) {
        edits_[b].sel_start = start;
        edits_[b].sel_len = len;
    }
    // The edit box's undo: the text before the last replace_selection.
    void undo(ui::EditBox b) {
        Edit& e = edits_[b];
        if (e.undo.empty()) return;
        e.text = e.undo.back();
        e.undo.pop_back();
    }
    // Typing into a box as the user does (without the character filter).
    void type(ui::EditBox b, std::string_view t) { edits_[b].text += t; }

  private:
    struct Edit {
        std::string text;
        std::size_t sel_start = 0, sel_len = 0;
        bool enabled = true;
        std::vector<std::string> undo;
    };
    BookState* state_;
    int view_ = ui::LIST_VIEW;
    std::map<ui::Menu, bool> menu_shown_, menu_enabled_;
    std::map<ui::MenuItem, bool> item_enabled_;
    std::map<ui::EditBox, Edit> edits_;
};

}  // namespace dova::testing
