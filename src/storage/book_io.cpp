// Stub: replaced by the real open and save.
#include "storage/book_io.h"
namespace dova::storage {
void open_book(BookState&, ui::Window&) {}
bool save_book(BookState&, ui::Window&) { return true; }
}  // namespace dova::storage
