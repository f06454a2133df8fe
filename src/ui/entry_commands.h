// Entry commands and the editor view.
#pragma once

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::ui {

void new_entry_flow(BookState& s, Window& w);
void insert_entry_flow(BookState& s, Window& w);
void delete_entry_flow(BookState& s, Window& w);
void retitle_flow(BookState& s, Window& w);
void enter_editor(BookState& s, Window& w);
void store_editor_text(BookState& s, Window& w);
// False only when the user chose Cancel in its question.
bool leave_editor(BookState& s, Window& w);
void copy_flow(BookState& s, Window& w);
void paste_flow(BookState& s, Window& w);
// Enables 删除日记, 插入日记, 修改标题 and 编辑内容.
void enable_entry_items(Window& w, bool enabled);

}  // namespace dova::ui
