#include "ui/book_commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/book_files.h"
#include "support/scripted_window.h"
#include "text/texts.h"
#include "ui/handlers.h"
#include "ui/password_page.h"

namespace dova::ui {
namespace {

using testing::ProgramEnded;
using testing::ScriptedWindow;
using namespace testing::book_files;

class BookCommands : public ::testing::Test {
  protected:
    BookState s;
    ScriptedWindow w{&s};
    TempFolder dir;

    BookCommands() { w.set_outer_size(LIST_WIDTH, LIST_HEIGHT); }

    // A changed book of two entries, as the entry commands leave it.
    void make_modified_book() {
        s.entry_index.items = {{gbk("第一天"), 1}, {gbk("第二天"), 2}};
        s.entry_index.focused_index = 1;
        s.record_text = record_of(gbk("晴")) + record_of(gbk("雨"));
        s.modified = true;
    }
    void expect_book_kept() {
        EXPECT_EQ(s.entry_index.size(), 2);
        EXPECT_EQ(s.record_text, record_of(gbk("晴")) + record_of(gbk("雨")));
        EXPECT_TRUE(s.modified);
    }
    void expect_book_cleared() {
        EXPECT_TRUE(s.entry_index.empty());
        EXPECT_EQ(s.record_text, "");
        EXPECT_FALSE(s.modified);
        EXPECT_EQ(w.view(), LIST_VIEW);
    }
    // A file that refuses every write, also for root: its folder is a file.
    std::string unwritable_path() {
        write_bytes(dir.file("plain-file"), "x");
        return dir.file("plain-file") + "/book.dova";
    }
    void expect_messages(const std::vector<std::string_view>& texts) {
        ASSERT_EQ(w.messages.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(w.messages[i].text, texts[i]) << i;
            EXPECT_EQ(w.messages[i].caption, texts::CAPTION_INFO) << i;
        }
    }
};

// ---- reset_book ----

struct ResetWatchingWindow : ScriptedWindow {
    using ScriptedWindow::ScriptedWindow;
    const BookState* watched = nullptr;
    std::vector<int> sizes_at_reset;
    void list_reset() override {
        sizes_at_reset.push_back(watched->entry_index.size());
        ScriptedWindow::list_reset();
    }
};

TEST_F(BookCommands, ResetClearsTheBookAndTheViewButNothingElse) {
    make_modified_book();
    s.editor_baseline = "body";
    s.book_password = "pw";
    s.path_list = {"a.dova", "b.dova"};
    ResetWatchingWindow win{&s};
    win.watched = &s;
    win.set_view(PASSWORD_VIEW);
    win.set_outer_size(EDITOR_WIDTH, EDITOR_HEIGHT);
    win.set_menu_enabled(Menu::main_edit, false);
    win.set_menu_enabled(Menu::editor_edit, false);
    win.set_menu_shown(Menu::editor_edit, true);
    win.set_menu_shown(Menu::main_edit, false);
    for (MenuItem i : {MenuItem::edit_content, MenuItem::retitle, MenuItem::insert_entry,
                       MenuItem::delete_entry}) {
        win.set_item_enabled(i, true);
    }
    for (EditBox b : {EditBox::diary, EditBox::old_password, EditBox::new_password,
                      EditBox::confirm_password}) {
        win.set_edit_text(b, "text");
    }
    win.set_edit_enabled(EditBox::old_password, false);
    win.masked = false;
    win.set_mark_text(texts::MISMATCH_MARK);

    reset_book(s, win);

    // The list is told after the entries are gone, so it never shows stale ones.
    EXPECT_EQ(win.sizes_at_reset, std::vector<int>{0});
    EXPECT_EQ(s.entry_index.focused_index, -1);
    EXPECT_EQ(s.record_text, "");
    EXPECT_EQ(s.editor_baseline, "");
    EXPECT_FALSE(s.modified);
    EXPECT_EQ(win.focus, Control::list);
    EXPECT_EQ(win.view(), LIST_VIEW);
    EXPECT_TRUE(win.menu_enabled(Menu::main_edit));
    EXPECT_TRUE(win.menu_enabled(Menu::editor_edit));
    EXPECT_TRUE(win.menu_shown(Menu::main_edit));
    EXPECT_FALSE(win.menu_shown(Menu::editor_edit));
    EXPECT_TRUE(win.item_enabled(MenuItem::new_entry));
    for (MenuItem i : {MenuItem::edit_content, MenuItem::retitle, MenuItem::insert_entry,
                       MenuItem::delete_entry}) {
        EXPECT_FALSE(win.item_enabled(i));
    }
    for (EditBox b : {EditBox::diary, EditBox::old_password, EditBox::new_password,
                      EditBox::confirm_password}) {
        EXPECT_EQ(win.edit_text(b), "");
    }
    // Left alone.
    EXPECT_EQ(win.width, EDITOR_WIDTH);
    EXPECT_EQ(win.height, EDITOR_HEIGHT);
    EXPECT_EQ(s.book_password, "pw");
    EXPECT_EQ(s.path_list, (std::vector<std::string>{"a.dova", "b.dova"}));
    EXPECT_FALSE(win.masked);
    EXPECT_EQ(win.mark_text, texts::MISMATCH_MARK);
    EXPECT_FALSE(win.edit_enabled(EditBox::old_password));
    EXPECT_TRUE(win.messages.empty());
}

// ---- the save question, through 新建本 ----

TEST_F(BookCommands, TheSaveQuestionGoesOnOrStopsByItsAnswer) {
    struct Case {
        const char* name;
        Answer answer;
        bool has_path;
        std::optional<std::string> dialog;  // when asked for a path
        bool goes_on;
        bool written;
        std::vector<std::string_view> messages_after_question;
    };
    const Case cases[] = {
        {"cancel", Answer::cancel, true, {}, false, false, {}},
        {"no", Answer::no, true, {}, true, false, {}},
        {"yes with a path", Answer::yes, true, {}, true, true, {}},
        {"yes, path chosen", Answer::yes, false, "chosen", true, true, {}},
        {"yes, path dialog cancelled",
         Answer::yes,
         false,
         std::nullopt,
         false,
         false,
         {texts::MSG_SAVE_NO_PATH}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{gbk("第一天"), 1}};
        st.entry_index.focused_index = 0;
        st.record_text = record_of("abc");
        st.modified = true;
        const std::string path = folder.file(c.has_path ? "old.dova" : "chosen.dova");
        if (c.has_path) st.path_list = {path};
        win.message_answers = {c.answer};
        if (!c.has_path && c.answer == Answer::yes) {
            win.dialog_answers = {c.dialog ? std::optional(path) : std::nullopt};
        }

        new_book_command(st, win);

        ASSERT_GE(win.messages.size(), 1u);
        EXPECT_EQ(win.messages[0].text, texts::ASK_SAVE_CHANGES);
        EXPECT_EQ(win.messages[0].caption, texts::CAPTION_INFO);
        EXPECT_EQ(win.messages[0].buttons, Buttons::yes_no_cancel);
        ASSERT_EQ(win.messages.size(), 1 + c.messages_after_question.size());
        for (std::size_t i = 0; i < c.messages_after_question.size(); ++i) {
            EXPECT_EQ(win.messages[1 + i].text, c.messages_after_question[i]);
        }
        EXPECT_EQ(read_bytes(path).has_value(), c.written);
        if (c.written) {
            EXPECT_EQ(read_book(path, "").entries.size(), 1u);
        }
        if (c.goes_on) {
            EXPECT_TRUE(st.entry_index.empty());
            EXPECT_FALSE(st.modified);
            EXPECT_TRUE(st.path_list.empty());
        } else {
            EXPECT_EQ(st.entry_index.size(), 1);
            EXPECT_EQ(st.record_text, record_of("abc"));
            EXPECT_TRUE(st.modified);
            EXPECT_EQ(st.path_list.size(), c.has_path ? 1u : 0u);
        }
    }
}

// ---- 新建本 ----

TEST_F(BookCommands, NewBookKeepsThePasswordOnlyWhenTheUserSaysYes) {
    struct Case {
        std::string password;
        std::optional<Answer> answer;  // none: nothing is asked
        std::string kept;
    };
    for (const Case& c : {Case{"", std::nullopt, ""}, Case{"pw", Answer::yes, "pw"},
                          Case{"pw", Answer::no, ""}, Case{"pw", Answer::cancel, ""}}) {
        BookState st;
        ScriptedWindow win{&st};
        st.book_password = c.password;
        st.path_list = {"x.dova"};
        if (c.answer) win.message_answers = {*c.answer};
        new_book_command(st, win);
        if (c.answer) {
            ASSERT_EQ(win.messages.size(), 1u);
            EXPECT_EQ(win.messages[0].text, texts::ASK_KEEP_PASSWORD);
            EXPECT_EQ(win.messages[0].caption, texts::CAPTION_INFO);
            EXPECT_EQ(win.messages[0].buttons, Buttons::yes_no);
        } else {
            EXPECT_TRUE(win.messages.empty());
        }
        EXPECT_EQ(st.book_password, c.kept);
        EXPECT_TRUE(st.path_list.empty());
        EXPECT_FALSE(st.modified);
    }
}

TEST_F(BookCommands, NewBookFromTheEditorDropsTheUnstoredTextAndKeepsTheEditorSize) {
    s.entry_index.items = {{"t", 1}};
    s.entry_index.focused_index = 0;
    s.record_text = record_of("abc");
    s.editor_baseline = "abc";
    w.set_view(EDITOR_VIEW);
    w.set_outer_size(EDITOR_WIDTH, EDITOR_HEIGHT);
    w.set_menu_shown(Menu::main_edit, false);
    w.set_menu_shown(Menu::editor_edit, true);
    w.set_edit_text(EditBox::diary, "abc and more");
    new_book_command(s, w);
    EXPECT_TRUE(w.messages.empty());
    expect_book_cleared();
    EXPECT_EQ(w.edit_text(EditBox::diary), "");
    EXPECT_EQ(w.width, EDITOR_WIDTH);
    EXPECT_EQ(w.height, EDITOR_HEIGHT);
    EXPECT_TRUE(w.menu_shown(Menu::main_edit));
    EXPECT_FALSE(w.menu_shown(Menu::editor_edit));
}

// ---- 打开 ----

TEST_F(BookCommands, OpenOpensTheChosenBookInPlaceOfTheOldOne) {
    model::EntryIndex index;
    index.items = {{gbk("旧日"), 1}};
    const std::string path = dir.file("a.dova");
    write_bytes(path, saved_book_bytes(index, record_of("x"), ""));
    make_modified_book();
    s.path_list = {dir.file("old.dova")};
    w.message_answers = {Answer::no};
    w.dialog_answers = {path};

    open_command(s, w);

    ASSERT_EQ(w.dialogs.size(), 1u);
    EXPECT_FALSE(w.dialogs[0].save_mode);
    EXPECT_EQ(w.dialogs[0].title, texts::TITLE_OPEN_BOOK);
    EXPECT_EQ(s.path_list, std::vector<std::string>{path});
    ASSERT_EQ(s.entry_index.size(), 1);
    EXPECT_EQ(s.entry_index.items[0].title, gbk("旧日"));
    EXPECT_EQ(s.record_text, record_of("x"));
    EXPECT_FALSE(s.modified);
    EXPECT_FALSE(read_bytes(dir.file("old.dova")).has_value());
}

TEST_F(BookCommands, OpenRefusesPathsWithoutTheExactEnding) {
    for (std::string name : {"a.DOVA", "a.dova.txt", "a.Dova", "dova", ""}) {
        SCOPED_TRACE(name);
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{"t", 1}};
        st.record_text = record_of("abc");
        st.path_list = {"kept.dova"};
        win.dialog_answers = {name};
        open_command(st, win);
        ASSERT_EQ(win.messages.size(), 1u);
        EXPECT_EQ(win.messages[0].text, texts::MSG_OPEN_WRONG_ENDING);
        EXPECT_EQ(win.messages[0].caption, texts::CAPTION_INFO);
        EXPECT_EQ(win.messages[0].buttons, Buttons::ok);
        EXPECT_EQ(st.entry_index.size(), 1);
        EXPECT_EQ(st.path_list, std::vector<std::string>{"kept.dova"});
    }
}

TEST_F(BookCommands, OpenStopsAtACancelledQuestionOrDialogButASaveStaysMade) {
    make_modified_book();
    const std::string path = dir.file("mine.dova");
    s.path_list = {path};

    w.message_answers = {Answer::cancel};
    open_command(s, w);
    EXPECT_TRUE(w.dialogs.empty());
    expect_book_kept();

    w.message_answers = {Answer::yes};
    w.dialog_answers = {std::nullopt};
    open_command(s, w);
    expect_book_kept();
    EXPECT_EQ(s.path_list, std::vector<std::string>{path});
    EXPECT_EQ(read_book(path, "").entries.size(), 2u);
}

TEST_F(BookCommands, OpeningAMissingBookLeavesAnEmptyBookWithoutAPath) {
    make_modified_book();
    w.message_answers = {Answer::no};
    w.dialog_answers = {dir.file("missing.dova")};
    open_command(s, w);
    expect_messages({texts::ASK_SAVE_CHANGES, texts::MSG_NOT_A_BOOK});
    expect_book_cleared();
    EXPECT_TRUE(s.path_list.empty());
}

// ---- 另存为 ----

TEST_F(BookCommands, SaveAsWritesToANewPathOrKeepsTheOldOne) {
    struct Case {
        const char* name;
        bool modified;
        std::vector<std::string> paths;
        std::optional<std::string> dialog;  // asked only when modified
        std::vector<std::string> paths_after;
    };
    const std::string old_path = dir.file("old.dova"), new_path = dir.file("new.dova");
    const Case cases[] = {
        {"new path", true, {old_path}, new_path, {new_path}},
        {"cancelled", true, {old_path, "second"}, std::nullopt, {old_path}},
        {"cancelled without a path", true, {}, std::nullopt, {}},
        {"not modified", false, {old_path, "second"}, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(new_path);
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{"t", 1}};
        st.record_text = record_of("abc");
        st.modified = c.modified;
        st.path_list = c.paths;
        if (c.modified) win.dialog_answers = {c.dialog};

        save_as_command(st, win);

        EXPECT_EQ(st.path_list, c.paths_after);
        EXPECT_EQ(win.dialogs.size(), c.modified ? 1u : 0u);
        EXPECT_EQ(read_bytes(new_path).has_value(), c.dialog.has_value());
        EXPECT_FALSE(read_bytes(old_path).has_value());
        if (c.modified && !c.dialog) {
            ASSERT_EQ(win.messages.size(), 1u);
            EXPECT_EQ(win.messages[0].text, texts::MSG_SAVE_NO_PATH);
        } else {
            EXPECT_TRUE(win.messages.empty());
        }
        EXPECT_EQ(st.modified, c.modified);
    }
}

TEST_F(BookCommands, SaveAsThatCannotWriteKeepsTheOldPath) {
    make_modified_book();
    s.path_list = {dir.file("old.dova")};
    w.dialog_answers = {unwritable_path()};
    save_as_command(s, w);
    EXPECT_EQ(s.path_list, std::vector<std::string>{dir.file("old.dova")});
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_TRUE(w.messages[0].text.starts_with(texts::MSG_SAVE_FAILED));
}

// ---- 关于 ----

TEST_F(BookCommands, AboutShowsItsTextWithOkAndTheDefaultCaption) {
    about_command(s, w);
    expect_messages({texts::MSG_ABOUT});
    EXPECT_EQ(w.messages[0].buttons, Buttons::ok);
    const std::string& about = w.messages[0].text;
    EXPECT_NE(about.find(gbk("请妥善保管密码   ")), std::string::npos);
    EXPECT_NE(about.find(gbk("  帐号 → 导出密码  ")), std::string::npos);
    EXPECT_NE(about.find(gbk("密码")), std::string::npos);
}

// ---- 退出 ----

TEST_F(BookCommands, QuitSavesAtOnceAndEndsOnlyWhenTheSaveSucceeded) {
    struct Case {
        const char* name;
        bool modified;
        int path;  // 0: none, 1: writable, 2: unwritable
        std::optional<bool> dialog_confirms;
        bool ends;
    };
    const Case cases[] = {
        {"unchanged", false, 0, {}, true},
        {"changed with a path", true, 1, {}, true},
        {"changed, path chosen", true, 0, true, true},
        {"changed, path cancelled", true, 0, false, false},
        {"changed, write fails", true, 2, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{"t", 1}};
        st.record_text = record_of("abc");
        st.modified = c.modified;
        std::string target = folder.file("book.dova");
        if (c.path == 2) {
            write_bytes(folder.file("f"), "");
            target = folder.file("f") + "/book.dova";
        }
        if (c.path != 0) st.path_list = {target};
        if (c.dialog_confirms) {
            win.dialog_answers = {*c.dialog_confirms ? std::optional(target) : std::nullopt};
        }

        bool ended = false;
        try {
            quit_command(st, win);
        } catch (const ProgramEnded& e) {
            ended = true;
            EXPECT_EQ(e.code, 0);
        }
        EXPECT_EQ(ended, c.ends);
        // Nothing is asked before the save.
        for (const auto& m : win.messages) EXPECT_EQ(m.buttons, Buttons::ok);
        if (c.modified && c.ends) {
            EXPECT_EQ(read_book(target, "").entries.size(), 1u);
        }
        if (!c.modified) {
            EXPECT_TRUE(win.messages.empty());
        }
    }
}

TEST_F(BookCommands, QuitFromTheEditorAsksTheEditorsQuestionFirst) {
    for (Answer answer : {Answer::cancel, Answer::yes}) {
        TempFolder folder;
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{"t", 1}};
        st.entry_index.focused_index = 0;
        st.record_text = record_of("abc");
        st.editor_baseline = "abc";
        st.path_list = {folder.file("b.dova")};
        win.set_view(EDITOR_VIEW);
        win.set_edit_text(EditBox::diary, "xyz");
        win.message_answers = {answer};
        bool ended = false;
        try {
            quit_command(st, win);
        } catch (const ProgramEnded&) {
            ended = true;
        }
        ASSERT_GE(win.messages.size(), 1u);
        EXPECT_EQ(win.messages[0].text, texts::ASK_STORE_EDITOR);
        if (answer == Answer::cancel) {
            EXPECT_FALSE(ended);
            EXPECT_EQ(win.view(), EDITOR_VIEW);
            EXPECT_FALSE(read_bytes(folder.file("b.dova")).has_value());
        } else {
            EXPECT_TRUE(ended);
            EXPECT_EQ(read_book(folder.file("b.dova"), "").record_text, record_of("xyz"));
        }
    }
}

// ---- the close query ----

TEST_F(BookCommands, CloseInTheListViewAsksOnlyForAChangedBook) {
    struct Case {
        const char* name;
        bool modified;
        std::optional<Answer> answer;
        int path;  // 0: none (dialog cancelled), 1: writable, 2: unwritable
        bool closes;
        bool written;
    };
    const Case cases[] = {
        {"unchanged", false, {}, 1, true, false},
        {"no", true, Answer::no, 1, true, false},
        {"esc", true, Answer::cancel, 1, true, false},
        {"yes", true, Answer::yes, 1, true, true},
        {"yes, path cancelled", true, Answer::yes, 0, false, false},
        {"yes, write fails", true, Answer::yes, 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{"t", 1}};
        st.record_text = record_of("abc");
        st.modified = c.modified;
        std::string target = folder.file("book.dova");
        if (c.path == 2) {
            write_bytes(folder.file("f"), "");
            target = folder.file("f") + "/book.dova";
        }
        if (c.path != 0) st.path_list = {target};
        if (c.path == 0) win.dialog_answers = {std::nullopt};
        if (c.answer) win.message_answers = {*c.answer};

        EXPECT_EQ(close_query(st, win), c.closes);
        if (c.answer) {
            ASSERT_GE(win.messages.size(), 1u);
            EXPECT_EQ(win.messages[0].text, texts::ASK_SAVE_ON_CLOSE);
            EXPECT_EQ(win.messages[0].caption, texts::CAPTION_INFO);
            EXPECT_EQ(win.messages[0].buttons, Buttons::yes_no);
        } else {
            EXPECT_TRUE(win.messages.empty());
        }
        EXPECT_EQ(read_bytes(target).has_value(), c.written);
        EXPECT_EQ(st.modified, c.modified);
    }
}

TEST_F(BookCommands, CloseInTheEditorOnlyLeavesIt) {
    s.entry_index.items = {{"t", 1}};
    s.entry_index.focused_index = 0;
    s.record_text = record_of("abc");
    s.editor_baseline = "abc";
    s.modified = true;
    w.set_view(EDITOR_VIEW);
    w.set_edit_text(EditBox::diary, "changed");

    w.message_answers = {Answer::cancel};
    EXPECT_FALSE(close_query(s, w));
    EXPECT_EQ(w.view(), EDITOR_VIEW);
    EXPECT_EQ(w.edit_text(EditBox::diary), "changed");

    w.message_answers = {Answer::no};
    EXPECT_FALSE(close_query(s, w));
    EXPECT_EQ(w.view(), LIST_VIEW);
    EXPECT_EQ(s.record_text, record_of("abc"));

    // The next close, now in the list, asks about the changed book.
    w.message_answers = {Answer::no};
    EXPECT_TRUE(close_query(s, w));
    EXPECT_EQ(w.messages.back().text, texts::ASK_SAVE_ON_CLOSE);
}

TEST_F(BookCommands, CloseOnThePasswordPageLeavesItWithTheTextsKept) {
    s.book_password = "pw";
    change_password_command(s, w);
    w.set_edit_text(EditBox::old_password, "p");
    w.set_edit_text(EditBox::new_password, "n");
    w.set_edit_text(EditBox::confirm_password, "n");
    EXPECT_FALSE(close_query(s, w));
    EXPECT_EQ(w.view(), LIST_VIEW);
    EXPECT_TRUE(w.menu_enabled(Menu::main_edit));
    EXPECT_EQ(w.edit_text(EditBox::old_password), "p");
    EXPECT_EQ(w.edit_text(EditBox::new_password), "n");
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(s.book_password, "pw");
}

TEST_F(BookCommands, AChangedPasswordMakesTheCloseAskToSave) {
    change_password_command(s, w);
    w.set_edit_text(EditBox::new_password, "n");
    w.set_edit_text(EditBox::confirm_password, "n");
    password_confirm(s, w);
    w.message_answers = {Answer::no};
    EXPECT_TRUE(close_query(s, w));
    expect_messages({texts::MSG_PASSWORD_CHANGED, texts::ASK_SAVE_ON_CLOSE});
}

// ---- dropped files ----

TEST_F(BookCommands, ADroppedPasswordBookOnlyImportsItsPassword) {
    const std::string path = dir.file("key.bin");
    write_bytes(path, password_book_bytes("pw,"));
    make_modified_book();
    s.path_list = {dir.file("mine.dova")};
    w.set_view(LIST_VIEW);

    on_files_dropped(s, w, path);

    expect_messages({texts::MSG_PASSWORD_IMPORTED});
    EXPECT_EQ(s.book_password, "pw");
    expect_book_kept();
    EXPECT_EQ(s.path_list, std::vector<std::string>{dir.file("mine.dova")});
    EXPECT_TRUE(w.list_events.empty());
}

TEST_F(BookCommands, ADroppedPasswordBookWithoutAPasswordSaysError) {
    const std::string path = dir.file("key.bin");
    write_bytes(path, storage::PASSWORD_BOOK_SIGNATURE);
    on_files_dropped(s, w, path);
    expect_messages({texts::MSG_ERROR});
    EXPECT_EQ(s.book_password, "");
}

TEST_F(BookCommands, AnyOtherDroppedFileIsOpenedAsABook) {
    model::EntryIndex index;
    index.items = {{gbk("甲"), 1}};
    const std::string book = dir.file("notes.txt");  // the ending does not matter
    write_bytes(book, saved_book_bytes(index, record_of("a"), ""));
    const std::string foreign = dir.file("photo.dova");
    write_bytes(foreign, std::string(300, 'x'));

    struct Case {
        const char* name;
        std::string text;
        bool opens;
    };
    const Case cases[] = {
        {"a book", book, true},
        {"a foreign file", foreign, false},
        // Two files name no file, even when the first is a book.
        {"two files", book + "\r\n" + foreign + "\r\n", false},
        {"nothing", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BookState st;
        ScriptedWindow win{&st};
        st.entry_index.items = {{"t", 1}};
        st.record_text = record_of("abc");
        st.modified = true;
        st.path_list = {"old.dova"};
        win.message_answers = {Answer::no};

        on_files_dropped(st, win, c.text);

        ASSERT_GE(win.messages.size(), 1u);
        EXPECT_EQ(win.messages[0].text, texts::ASK_SAVE_CHANGES);
        EXPECT_FALSE(st.modified);
        if (c.opens) {
            EXPECT_EQ(win.messages.size(), 1u);
            EXPECT_EQ(st.path_list, std::vector<std::string>{book});
            ASSERT_EQ(st.entry_index.size(), 1);
            EXPECT_EQ(st.entry_index.items[0].title, gbk("甲"));
        } else {
            ASSERT_EQ(win.messages.size(), 2u);
            EXPECT_EQ(win.messages[1].text, texts::MSG_NOT_A_BOOK);
            EXPECT_TRUE(st.path_list.empty());
            EXPECT_TRUE(st.entry_index.empty());
            EXPECT_EQ(st.record_text, "");
        }
    }
}

TEST_F(BookCommands, ADroppedBookWaitsForTheSaveQuestion) {
    const std::string foreign = dir.file("photo.png");
    write_bytes(foreign, "png");
    make_modified_book();
    s.path_list = {"old.dova"};
    w.message_answers = {Answer::cancel};
    on_files_dropped(s, w, foreign);
    expect_messages({texts::ASK_SAVE_CHANGES});
    expect_book_kept();
    EXPECT_EQ(s.path_list, std::vector<std::string>{"old.dova"});
}

}  // namespace
}  // namespace dova::ui
