// Opening and saving books through the window's prompts and messages.
#pragma once

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::storage {

// Opens the book named by the first element of path_list into the (already
// cleared) state; reports its own failures.
void open_book(BookState& s, ui::Window& w);
// Writes the book when modified; false when the user cancelled the path or
// the file could not be written.
bool save_book(BookState& s, ui::Window& w);

}  // namespace dova::storage
