// Stub: replaced by the real entry commands.
#include "ui/entry_commands.h"
#include "ui/handlers.h"
namespace dova::ui {
void new_entry_flow(BookState&, Window&) {}
void insert_entry_flow(BookState&, Window&) {}
void delete_entry_flow(BookState&, Window&) {}
void retitle_flow(BookState&, Window&) {}
void enter_editor(BookState&, Window&) {}
void store_editor_text(BookState&, Window&) {}
bool leave_editor(BookState&, Window&) { return true; }
void copy_flow(BookState&, Window&) {}
void paste_flow(BookState&, Window&) {}
void enable_entry_items(Window&, bool) {}
void on_list_selected(BookState&, Window&, int) {}
void on_list_double_clicked(BookState&, Window&) {}
void on_list_right_click(BookState&, Window&) {}
bool on_editor_right_click(BookState&, Window&) { return false; }
}  // namespace dova::ui
