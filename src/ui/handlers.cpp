#include "ui/handlers.h"

#include "storage/book_io.h"
#include "storage/password_book.h"
#include "ui/book_commands.h"
#include "ui/entry_commands.h"
#include "ui/password_page.h"

namespace dova::ui {

void on_menu_item(BookState& s, Window& w, MenuItem item) {
    switch (item) {
        case MenuItem::new_book:
            new_book_command(s, w);
            break;
        case MenuItem::open:
            open_command(s, w);
            break;
        case MenuItem::save:
            save_command(s, w);
            break;
        case MenuItem::save_as:
            save_as_command(s, w);
            break;
        case MenuItem::about:
            about_command(s, w);
            break;
        case MenuItem::feedback:
            // The feedback address comes with the update notice, which this
            // build does not fetch; with no address there is nothing to open.
            break;
        case MenuItem::quit:
            quit_command(s, w);
            break;
        case MenuItem::edit_content:
            enter_editor(s, w);
            break;
        case MenuItem::retitle:
            retitle_flow(s, w);
            break;
        case MenuItem::new_entry:
            new_entry_flow(s, w);
            break;
        case MenuItem::insert_entry:
            insert_entry_flow(s, w);
            break;
        case MenuItem::delete_entry:
            delete_entry_flow(s, w);
            break;
        case MenuItem::copy:
            copy_flow(s, w);
            break;
        case MenuItem::paste:
            paste_flow(s, w);
            break;
        case MenuItem::editor_save:
            store_editor_text(s, w);
            break;
        case MenuItem::editor_back:
            leave_editor(s, w);
            break;
        case MenuItem::change_password:
            change_password_command(s, w);
            break;
        case MenuItem::load_password:
            storage::load_password_command(s, w);
            break;
        case MenuItem::export_password:
            storage::export_password_book(s, w);
            break;
    }
}

void on_editor_save_clicked(BookState& s, Window& w) {
    store_editor_text(s, w);
}
void on_editor_back_clicked(BookState& s, Window& w) {
    leave_editor(s, w);
}
void on_password_confirm_clicked(BookState& s, Window& w) {
    password_confirm(s, w);
}
void on_password_cancel_clicked(BookState& s, Window& w) {
    password_cancel(s, w);
}

}  // namespace dova::ui
