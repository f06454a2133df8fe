#include "storage/password_book.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "storage/book_io.h"
#include "storage/signatures.h"
#include "support/book_files.h"
#include "support/scripted_window.h"
#include "text/texts.h"
#include "ui/book_commands.h"
#include "ui/handlers.h"

namespace dova::storage {
namespace {

using testing::ScriptedWindow;
using namespace testing::book_files;
using ui::Answer;
using ui::Buttons;

class PasswordBooks : public ::testing::Test {
  protected:
    TempFolder dir;

    // Exports `password` to `name` and returns the file's path.
    std::string exported(const std::string& name, const std::string& password) {
        BookState s;
        s.book_password = password;
        ScriptedWindow w{&s};
        w.dialog_answers = {dir.file(name)};
        export_password_book(s, w);
        EXPECT_EQ(w.messages.size(), 1u);
        return dir.file(name);
    }
    static void expect_messages(const ScriptedWindow& w, const std::vector<std::string_view>& t) {
        ASSERT_EQ(w.messages.size(), t.size());
        for (std::size_t i = 0; i < t.size(); ++i) {
            EXPECT_EQ(w.messages[i].text, t[i]) << i;
            EXPECT_EQ(w.messages[i].caption, texts::CAPTION_INFO) << i;
        }
    }
};

TEST_F(PasswordBooks, ExportWritesTheSignatureAndThePasswordWithAComma) {
    struct Case {
        std::string password;
        std::size_t size;
    };
    for (const Case& c : {Case{"abc", 222 + 4}, Case{"", 222 + 1}, Case{gbk("密码"), 222 + 5}}) {
        SCOPED_TRACE(c.password);
        BookState s;
        s.book_password = c.password;
        s.entry_index.items = {{"t", 1}};
        s.path_list = {"book.dova"};
        s.modified = true;
        ScriptedWindow w{&s};
        w.set_view(ui::EDITOR_VIEW);
        const std::string path = dir.file("key");
        w.dialog_answers = {path};

        export_password_book(s, w);

        ASSERT_EQ(w.dialogs.size(), 1u);
        EXPECT_TRUE(w.dialogs[0].save_mode);
        EXPECT_EQ(w.dialogs[0].title, texts::TITLE_EXPORT_PASSWORD);
        expect_messages(w, {texts::MSG_EXPORT_DONE});
        EXPECT_EQ(w.messages[0].buttons, Buttons::ok);
        EXPECT_EQ(read_bytes(path), password_book_bytes(c.password + ","));
        EXPECT_EQ(read_bytes(path)->size(), c.size);
        // Export leaves the book alone.
        EXPECT_EQ(s.path_list, std::vector<std::string>{"book.dova"});
        EXPECT_TRUE(s.modified);
        EXPECT_EQ(s.entry_index.size(), 1);
        EXPECT_EQ(w.view(), ui::EDITOR_VIEW);
    }
}

TEST_F(PasswordBooks, ExportThatCannotWriteSaysSoAndACancelSaysNoPath) {
    BookState s;
    s.book_password = "pw";
    ScriptedWindow w{&s};
    w.dialog_answers = {std::nullopt};
    export_password_book(s, w);
    expect_messages(w, {texts::MSG_SAVE_NO_PATH});

    write_bytes(dir.file("plain-file"), "x");
    w.messages.clear();
    w.dialog_answers = {dir.file("plain-file") + "/key"};
    export_password_book(s, w);
    expect_messages(w, {texts::MSG_EXPORT_FAILED});

    // Over an existing file that cannot be replaced (a folder in its place).
    std::filesystem::create_directory(dir.file("taken"));
    w.messages.clear();
    w.dialog_answers = {dir.file("taken")};
    export_password_book(s, w);
    expect_messages(w, {texts::MSG_EXPORT_FAILED});
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken")));
}

TEST_F(PasswordBooks, ImportAsksBeforeReplacingAPassword) {
    const std::string content = password_book_bytes("new,");
    struct Case {
        const char* name;
        std::string current;
        std::optional<Answer> replace;
        std::optional<std::optional<std::string>> old;  // asked only after Yes
        std::string after;
        std::vector<std::string_view> messages;
    };
    const Case cases[] = {
        {"no password yet", "", {}, {}, "new", {texts::MSG_PASSWORD_IMPORTED}},
        {"no", "cur", Answer::no, {}, "cur", {texts::ASK_REPLACE_PASSWORD}},
        {"esc", "cur", Answer::cancel, {}, "cur", {texts::ASK_REPLACE_PASSWORD}},
        {"old box cancelled",
         "cur",
         Answer::yes,
         std::optional<std::string>{},
         "cur",
         {texts::ASK_REPLACE_PASSWORD}},
        {"wrong old",
         "cur",
         Answer::yes,
         std::optional<std::string>{"Cur"},
         "cur",
         {texts::ASK_REPLACE_PASSWORD, texts::MSG_OLD_PASSWORD_WRONG}},
        {"right old",
         "cur",
         Answer::yes,
         std::optional<std::string>{"cur"},
         "new",
         {texts::ASK_REPLACE_PASSWORD, texts::MSG_PASSWORD_REPLACED}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BookState s;
        s.book_password = c.current;
        ScriptedWindow w{&s};
        if (c.replace) w.message_answers = {*c.replace};
        if (c.old) w.input_answers = {*c.old};

        import_password_book(s, w, content, "empty");

        EXPECT_EQ(s.book_password, c.after);
        expect_messages(w, c.messages);
        if (c.replace) {
            EXPECT_EQ(w.messages[0].buttons, Buttons::yes_no);
        }
        ASSERT_EQ(w.inputs.size(), c.old ? 1u : 0u);
        if (c.old) {
            EXPECT_EQ(w.inputs[0].prompt, texts::PROMPT_OLD_PASSWORD);
            EXPECT_EQ(w.inputs[0].caption, texts::CAPTION_INPUT);
            EXPECT_EQ(w.inputs[0].initial, "");
            EXPECT_EQ(w.inputs[0].mode, ui::InputMode::password);
        }
        EXPECT_FALSE(s.modified);
    }
}

TEST_F(PasswordBooks, ExportedPasswordsComeBackCutAtTheirFirstComma) {
    struct Case {
        std::string exported, imported;
    };
    for (const Case& c : {Case{"abc", "abc"}, Case{"", ""}, Case{"a,b,c", "a"}, Case{",lead", ""},
                          Case{gbk("密码"), gbk("密码")}}) {
        SCOPED_TRACE(c.exported);
        const std::string path = exported("key", c.exported);
        BookState s;
        ScriptedWindow w{&s};
        w.dialog_answers = {path};
        load_password_command(s, w);
        expect_messages(w, {texts::MSG_PASSWORD_IMPORTED});
        EXPECT_EQ(s.book_password, c.imported);
    }
}

TEST_F(PasswordBooks, TheMenuTestsTheFileFirst) {
    write_bytes(dir.file("book.dova"), std::string(BOOK_SIGNATURE) + "cipher");
    write_bytes(dir.file("foreign"), std::string(300, 'q'));
    write_bytes(dir.file("bare"), PASSWORD_BOOK_SIGNATURE);
    write_bytes(dir.file("short"), PASSWORD_BOOK_SIGNATURE.substr(0, 221));
    struct Case {
        std::string path;
        std::string_view message;
    };
    const Case cases[] = {
        {dir.file("book.dova"), texts::MSG_BOOK_NOT_PASSWORD_BOOK},
        {dir.file("foreign"), texts::MSG_NOT_A_PASSWORD_BOOK},
        {dir.file("short"), texts::MSG_NOT_A_PASSWORD_BOOK},
        {dir.file("missing"), texts::MSG_NOT_A_PASSWORD_BOOK},
        {dir.file("bare"), texts::MSG_PASSWORD_BOOK_EMPTY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        BookState s;
        s.book_password = "cur";
        ScriptedWindow w{&s};
        w.dialog_answers = {c.path};
        load_password_command(s, w);
        ASSERT_EQ(w.dialogs.size(), 1u);
        EXPECT_FALSE(w.dialogs[0].save_mode);
        EXPECT_EQ(w.dialogs[0].title, texts::TITLE_LOAD_PASSWORD);
        expect_messages(w, {c.message});
        EXPECT_EQ(s.book_password, "cur");
    }

    BookState s;
    ScriptedWindow w{&s};
    w.dialog_answers = {std::nullopt};
    load_password_command(s, w);
    EXPECT_TRUE(w.messages.empty());
}

TEST_F(PasswordBooks, EachWayInHasItsOwnEmptyResultMessage) {
    const std::string bare = dir.file("bare.dova");
    write_bytes(bare, PASSWORD_BOOK_SIGNATURE);

    BookState menu_state;
    ScriptedWindow menu{&menu_state};
    menu.dialog_answers = {bare};
    ui::on_menu_item(menu_state, menu, ui::MenuItem::load_password);
    expect_messages(menu, {texts::MSG_PASSWORD_BOOK_EMPTY});

    BookState drop_state;
    ScriptedWindow drop{&drop_state};
    ui::on_files_dropped(drop_state, drop, bare);
    expect_messages(drop, {texts::MSG_ERROR});

    BookState open_state;
    open_state.path_list = {bare};
    ScriptedWindow open{&open_state};
    open_book(open_state, open);
    expect_messages(open, {texts::MSG_ERROR});
}

TEST_F(PasswordBooks, OpeningAPasswordBookImportsItAndForgetsItsPath) {
    const std::string key = exported("key.dova", "pw");
    const std::optional<std::string> key_bytes = read_bytes(key);
    BookState s;
    s.entry_index.items = {{"t", 1}};
    s.record_text = record_of("a");
    s.path_list = {dir.file("mine.dova")};
    ScriptedWindow w{&s};
    w.message_answers = {Answer::no};  // the save question
    w.dialog_answers = {key};

    ui::open_command(s, w);

    EXPECT_EQ(s.book_password, "pw");
    EXPECT_TRUE(s.path_list.empty());
    EXPECT_TRUE(s.entry_index.empty());
    EXPECT_FALSE(s.modified);

    // The next save of a changed book asks for a path instead of writing
    // over the password book.
    s.entry_index.items = {{"t", 1}};
    s.record_text = record_of("b");
    s.modified = true;
    w.dialog_answers = {std::nullopt};
    EXPECT_FALSE(save_book(s, w));
    EXPECT_EQ(w.dialogs.size(), 2u);
    EXPECT_EQ(read_bytes(key), key_bytes);
}

TEST_F(PasswordBooks, APasswordBookOpenedAsABookAsksBeforeReplacing) {
    const std::string key = exported("key.dova", "new");
    BookState s;
    s.book_password = "cur";
    s.path_list = {key};
    ScriptedWindow w{&s};
    w.message_answers = {Answer::yes};
    w.input_answers = {std::string("cur")};
    open_book(s, w);
    expect_messages(w, {texts::ASK_REPLACE_PASSWORD, texts::MSG_PASSWORD_REPLACED});
    EXPECT_EQ(s.book_password, "new");
    EXPECT_TRUE(s.path_list.empty());
}

TEST_F(PasswordBooks, AnImportedPasswordOpensTheBookWithoutAPrompt) {
    // A book saved under "pw", its password exported, then a fresh start.
    BookState first;
    first.entry_index.items = {{gbk("标题"), 1}};
    first.record_text = record_of("x");
    first.book_password = "pw";
    first.modified = true;
    ScriptedWindow fw{&first};
    fw.dialog_answers = {dir.file("b.dova"), dir.file("k")};
    ASSERT_TRUE(save_book(first, fw));
    export_password_book(first, fw);

    BookState s;
    ScriptedWindow w{&s};
    w.dialog_answers = {dir.file("k")};
    load_password_command(s, w);
    s.path_list = {dir.file("b.dova")};
    open_book(s, w);
    EXPECT_TRUE(w.inputs.empty());
    ASSERT_EQ(s.entry_index.size(), 1);
    EXPECT_EQ(s.entry_index.items[0].title, gbk("标题"));
}

}  // namespace
}  // namespace dova::storage
