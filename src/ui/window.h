// What the main window offers to the command procedures. The Qt window
// implements it; tests drive the procedures through a scripted one.
//
// Every text crossing this interface is GBK; file paths are in the
// platform's own encoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace dova::ui {

// The three views, the pages of the page container.
inline constexpr int LIST_VIEW = 0;
inline constexpr int EDITOR_VIEW = 1;
inline constexpr int PASSWORD_VIEW = 2;

// Outer sizes, frame included.
inline constexpr int CREATED_WIDTH = 340, CREATED_HEIGHT = 320;
inline constexpr int LIST_WIDTH = 180, LIST_HEIGHT = 200;
inline constexpr int EDITOR_WIDTH = 340, EDITOR_HEIGHT = 287;

enum class Menu { program, main_edit, editor_edit, account };

enum class MenuItem {
    // 程序(&F)
    new_book,
    open,
    save,
    save_as,
    about,
    feedback,
    quit,
    // main 编辑(&E)
    edit_content,
    retitle,
    new_entry,
    insert_entry,
    delete_entry,
    // editor 编辑(&E)
    copy,
    paste,
    editor_save,
    editor_back,
    // 帐号(&V)
    change_password,
    load_password,
    export_password,
};

enum class EditBox { diary, old_password, new_password, confirm_password };

// Controls that can take the keyboard focus.
enum class Control { list, diary, old_password, new_password, confirm_password };

enum class Buttons { ok, yes_no, yes_no_cancel, ok_cancel_warning };
// Esc and the close box give cancel where the set has a Cancel button and ok
// in a box with OK alone; a Yes/No box takes neither, so a reflex Esc can
// never answer No to a question about saving.
enum class Answer { ok, yes, no, cancel };

enum class InputMode { plain, password };

class Window {
  public:
    virtual ~Window() = default;

    // The current page of the page container; changing it raises no event.
    virtual int view() const = 0;
    virtual void set_view(int page) = 0;
    // Outer size, frame included; the top-left corner stays.
    virtual void set_outer_size(int width, int height) = 0;

    virtual void set_menu_enabled(Menu menu, bool enabled) = 0;
    virtual void set_menu_shown(Menu menu, bool shown) = 0;
    virtual void set_item_enabled(MenuItem item, bool enabled) = 0;

    // The list shows BookState::entry_index; these tell it what changed.
    virtual void list_reset() = 0;
    virtual void list_inserted(int index) = 0;
    virtual void list_removed(int index) = 0;
    virtual void list_changed(int index) = 0;
    // Selects and focuses an item; raises no selection event.
    virtual void select_list_item(int index) = 0;

    virtual std::string edit_text(EditBox box) const = 0;
    virtual void set_edit_text(EditBox box, std::string_view text) = 0;
    virtual std::string selected_text(EditBox box) const = 0;
    // Replaces the selection (or inserts at the caret) as one undo step.
    virtual void replace_selection(EditBox box, std::string_view text) = 0;
    virtual void set_edit_enabled(EditBox box, bool enabled) = 0;
    virtual bool edit_enabled(EditBox box) const = 0;
    // Masks the three password boxes ("*") or shows them plain.
    virtual void set_passwords_masked(bool masked) = 0;
    virtual bool show_password_ticked() const = 0;
    // The mismatch mark label of the password page.
    virtual void set_mark_text(std::string_view text) = 0;
    // Moves the keyboard focus; the focus events of the controls concerned
    // are raised at once, before this returns.
    virtual void set_focus(Control control) = 0;

    // Pops up one of the two 编辑(&E) menus at the mouse pointer (moved 3
    // pixels right and down); returns when it has closed.
    virtual void popup_menu(Menu menu) = 0;

    // The file dialog in open or save mode with a title; the chosen full path
    // when the user confirmed.
    virtual std::optional<std::string> file_dialog(bool save_mode, std::string_view title) = 0;
    virtual Answer message_box(std::string_view text, std::string_view caption,
                               Buttons buttons) = 0;
    // An input box; the entered text on OK (or Enter), nothing on Cancel, Esc
    // or the close box. `owned` makes the main window its owner.
    virtual std::optional<std::string> input_box(std::string_view prompt, std::string_view caption,
                                                 std::string_view initial, InputMode mode,
                                                 bool owned) = 0;

    // Plain text on the clipboard; false when it cannot be reached.
    virtual bool set_clipboard_text(std::string_view text) = 0;
    // Nothing when the clipboard holds no text.
    virtual std::optional<std::string> clipboard_text() = 0;

    // Waits while the window's pending events go on being dispatched.
    virtual void wait_dispatching(int milliseconds) = 0;
    // From now on dropped files reach the drop handler; a second call does nothing.
    virtual void register_drop_target() = 0;
    // Destroys the window at once, without the close query, and ends the
    // process with the code. Does not return.
    [[noreturn]] virtual void destroy_and_exit(int code) = 0;
};

// A message with the OK button, under the caption "信息：" unless another is given.
inline void inform(Window& w, std::string_view text,
                   std::string_view caption = texts::CAPTION_INFO) {
    w.message_box(text, caption, Buttons::ok);
}

}  // namespace dova::ui
