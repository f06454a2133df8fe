#include "ui/password_page.h"

#include "text/texts.h"
#include "ui/entry_commands.h"
#include "ui/handlers.h"

namespace dova::ui {
namespace {

// Back to the list: focus first, so the confirmation box's focus-out runs
// while the page still shows.
void back_to_list(Window& w) {
    w.set_focus(Control::list);
    w.set_view(LIST_VIEW);
}

}  // namespace

void change_password_command(BookState& s, Window& w) {
    if (w.view() == EDITOR_VIEW && !leave_editor(s, w)) return;
    const bool has_password = !s.book_password.empty();
    w.set_edit_enabled(EditBox::old_password, has_password);
    w.set_menu_enabled(Menu::main_edit, false);
    w.set_menu_enabled(Menu::editor_edit, false);
    w.set_view(PASSWORD_VIEW);
    w.set_focus(has_password ? Control::old_password : Control::new_password);
}

void password_confirm(BookState& s, Window& w) {
    // The box is compared even while disabled: with no password it is empty.
    if (w.edit_text(EditBox::old_password) != s.book_password) {
        inform(w, texts::MSG_OLD_PASSWORD_WRONG);
        return;
    }
    std::string fresh = w.edit_text(EditBox::new_password);
    if (fresh != w.edit_text(EditBox::confirm_password)) {
        inform(w, texts::MSG_NEW_PASSWORDS_DIFFER);
        return;
    }
    s.book_password = std::move(fresh);
    inform(w, texts::MSG_PASSWORD_CHANGED);
    back_to_list(w);
    for (EditBox box : {EditBox::old_password, EditBox::new_password, EditBox::confirm_password}) {
        w.set_edit_text(box, {});
    }
    w.set_menu_enabled(Menu::main_edit, true);
    w.set_menu_enabled(Menu::editor_edit, true);
    s.modified = true;
}

void password_cancel(BookState&, Window& w) {
    back_to_list(w);
    w.set_menu_enabled(Menu::main_edit, true);
    w.set_menu_enabled(Menu::editor_edit, true);
}

void on_show_password_clicked(BookState&, Window& w) {
    w.set_passwords_masked(!w.show_password_ticked());
}

void on_confirm_focus_in(BookState&, Window& w) {
    w.set_mark_text({});
}

void on_confirm_focus_out(BookState&, Window& w) {
    // Equal texts leave the mark alone, so one already shown stays.
    if (w.edit_text(EditBox::new_password) != w.edit_text(EditBox::confirm_password)) {
        w.set_mark_text(texts::MISMATCH_MARK);
    }
}

std::uint32_t filter_password_char(std::uint32_t code) {
    return code < 127 ? code : 0;
}

}  // namespace dova::ui
