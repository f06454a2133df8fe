// Commands on the book as a whole, the close query and dropped files.
#pragma once

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::ui {

void reset_book(BookState& s, Window& w);
// The save question; true when the command may go on.
bool ask_save_changes(BookState& s, Window& w);
void new_book_command(BookState& s, Window& w);
void open_command(BookState& s, Window& w);
void save_command(BookState& s, Window& w);
void save_as_command(BookState& s, Window& w);
void about_command(BookState& s, Window& w);
void quit_command(BookState& s, Window& w);

}  // namespace dova::ui
