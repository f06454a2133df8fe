// Stub: replaced by the real password page.
#include "ui/password_page.h"
#include "ui/handlers.h"
namespace dova::ui {
void change_password_command(BookState&, Window&) {}
void password_confirm(BookState&, Window&) {}
void password_cancel(BookState&, Window&) {}
void on_show_password_clicked(BookState&, Window&) {}
void on_confirm_focus_in(BookState&, Window&) {}
void on_confirm_focus_out(BookState&, Window&) {}
std::uint32_t filter_password_char(std::uint32_t code) { return code; }
}  // namespace dova::ui
