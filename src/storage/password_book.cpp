// Stub: replaced by the real password books.
#include "storage/password_book.h"
namespace dova::storage {
void export_password_book(BookState&, ui::Window&) {}
void import_password_book(BookState&, ui::Window&, std::string_view, std::string_view) {}
void load_password_command(BookState&, ui::Window&) {}
}  // namespace dova::storage
