// The objectName of every widget, menu and action of the main window, so
// tests and tools can find them. Controls keep the names of the window's
// form; menus and actions are named in ASCII after what they do.
#pragma once

namespace dova::ui::qt::names {

// The window and its page container.
inline constexpr const char* WINDOW = "main_window";
inline constexpr const char* PAGES = "选择夹1";
inline constexpr const char* LIST_PAGE = "page_list";
inline constexpr const char* EDITOR_PAGE = "page_editor";
inline constexpr const char* PASSWORD_PAGE = "page_password";

// List view.
inline constexpr const char* LIST = "列表框1";
// Editor view.
inline constexpr const char* DIARY = "日记编辑框";
inline constexpr const char* SAVE_BUTTON = "按钮_保存";
inline constexpr const char* BACK_BUTTON = "按钮_返回";
// Password view.
inline constexpr const char* OLD_LABEL = "透明标签1";
inline constexpr const char* OLD_PASSWORD = "旧密码编辑框";
inline constexpr const char* NEW_LABEL = "透明标签2";
inline constexpr const char* NEW_PASSWORD = "新密码编辑框";
inline constexpr const char* CONFIRM_LABEL = "透明标签3";
inline constexpr const char* CONFIRM_PASSWORD = "确认密码编辑框";
inline constexpr const char* MARK_LABEL = "透明标签4";
inline constexpr const char* CONFIRM_BUTTON = "按钮_密码确认";
inline constexpr const char* CANCEL_BUTTON = "按钮_密码取消";
inline constexpr const char* SHOW_PASSWORD = "显示密码";

// Menus (the QMenu; its menuAction carries the same name + "_action").
inline constexpr const char* MENU_PROGRAM = "menu_program";
inline constexpr const char* MENU_MAIN_EDIT = "menu_main_edit";
inline constexpr const char* MENU_EDITOR_EDIT = "menu_editor_edit";
inline constexpr const char* MENU_ACCOUNT = "menu_account";

// Menu items.
inline constexpr const char* ACTION_NEW_BOOK = "action_new_book";
inline constexpr const char* ACTION_OPEN = "action_open";
inline constexpr const char* ACTION_SAVE = "action_save";
inline constexpr const char* ACTION_SAVE_AS = "action_save_as";
inline constexpr const char* ACTION_ABOUT = "action_about";
inline constexpr const char* ACTION_FEEDBACK = "action_feedback";
inline constexpr const char* ACTION_QUIT = "action_quit";
inline constexpr const char* ACTION_EDIT_CONTENT = "action_edit_content";
inline constexpr const char* ACTION_RETITLE = "action_retitle";
inline constexpr const char* ACTION_NEW_ENTRY = "action_new_entry";
inline constexpr const char* ACTION_INSERT_ENTRY = "action_insert_entry";
inline constexpr const char* ACTION_DELETE_ENTRY = "action_delete_entry";
inline constexpr const char* ACTION_COPY = "action_copy";
inline constexpr const char* ACTION_PASTE = "action_paste";
inline constexpr const char* ACTION_EDITOR_SAVE = "action_editor_save";
inline constexpr const char* ACTION_EDITOR_BACK = "action_editor_back";
inline constexpr const char* ACTION_CHANGE_PASSWORD = "action_change_password";
inline constexpr const char* ACTION_LOAD_PASSWORD = "action_load_password";
inline constexpr const char* ACTION_EXPORT_PASSWORD = "action_export_password";

// Boxes.
inline constexpr const char* MESSAGE_BOX = "message_box";
inline constexpr const char* BUTTON_YES = "button_yes";
inline constexpr const char* BUTTON_NO = "button_no";
inline constexpr const char* BUTTON_CANCEL = "button_cancel";
inline constexpr const char* BUTTON_OK = "button_ok";
inline constexpr const char* INPUT_BOX = "input_box";
inline constexpr const char* INPUT_PROMPT = "input_prompt";
inline constexpr const char* INPUT_EDIT = "input_edit";
inline constexpr const char* INPUT_OK = "input_ok";
inline constexpr const char* INPUT_CANCEL = "input_cancel";
inline constexpr const char* FILE_DIALOG = "file_dialog";
// The standard context menu of the diary box.
inline constexpr const char* DIARY_CONTEXT_MENU = "diary_context_menu";

}  // namespace dova::ui::qt::names
