// Stub: replaced by the real book commands.
#include "ui/book_commands.h"
#include "ui/handlers.h"
namespace dova::ui {
void reset_book(BookState&, Window&) {}
bool ask_save_changes(BookState&, Window&) { return true; }
void new_book_command(BookState&, Window&) {}
void open_command(BookState&, Window&) {}
void save_command(BookState&, Window&) {}
void save_as_command(BookState&, Window&) {}
void about_command(BookState&, Window&) {}
void quit_command(BookState&, Window&) {}
bool close_query(BookState&, Window&) { return true; }
void on_files_dropped(BookState&, Window&, std::string_view) {}
}  // namespace dova::ui
