// The change-password page.
#pragma once

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::ui {

void change_password_command(BookState& s, Window& w);
void password_confirm(BookState& s, Window& w);
void password_cancel(BookState& s, Window& w);

}  // namespace dova::ui
