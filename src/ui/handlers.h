// One handler per window event. The Qt window and the scripted test window
// both call these; no logic lives in the window itself.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::ui {

// A menu item chosen from the menu bar or a pop-up menu.
void on_menu_item(BookState& s, Window& w, MenuItem item);

// The user selected list item `index` (mouse or keyboard); it becomes the
// focused entry and the four entry commands are enabled.
void on_list_selected(BookState& s, Window& w, int index);
// The list's caret moved to item `index` without a selection (the caret is
// the focused entry); nothing else changes.
void on_list_caret_moved(BookState& s, int index);
void on_list_double_clicked(BookState& s, Window& w);
void on_list_right_click(BookState& s, Window& w);
// Returns true when the program handled the click (its pop-up menu shown);
// false lets the edit box show its own context menu.
bool on_editor_right_click(BookState& s, Window& w);

void on_editor_save_clicked(BookState& s, Window& w);
void on_editor_back_clicked(BookState& s, Window& w);
void on_password_confirm_clicked(BookState& s, Window& w);
void on_password_cancel_clicked(BookState& s, Window& w);
void on_show_password_clicked(BookState& s, Window& w);
void on_confirm_focus_in(BookState& s, Window& w);
void on_confirm_focus_out(BookState& s, Window& w);

// The character filter of the three password boxes: the code to let through,
// or 0 to discard the character.
std::uint32_t filter_password_char(std::uint32_t code);

// The close query: true when the window may close.
bool close_query(BookState& s, Window& w);

// Files dropped on the window: one path, or several each followed by "\r\n".
void on_files_dropped(BookState& s, Window& w, std::string_view text);

}  // namespace dova::ui
