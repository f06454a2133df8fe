// Password books: a small file that carries one book password.
#pragma once

#include <string_view>

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::storage {

// 导出密码.
void export_password_book(BookState& s, ui::Window& w);
// `content`: a whole file whose first 222 bytes are the password-book
// signature. `empty_message`: shown when the file yields no password.
void import_password_book(BookState& s, ui::Window& w, std::string_view content,
                          std::string_view empty_message);
// 加载密码.
void load_password_command(BookState& s, ui::Window& w);

}  // namespace dova::storage
