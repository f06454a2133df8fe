#include "storage/book_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "storage/book_format.h"
#include "storage/signatures.h"
#include "support/book_files.h"
#include "support/scripted_window.h"
#include "support/unprivileged.h"
#include "text/texts.h"

namespace dova::storage {
namespace {

using testing::ScriptedWindow;
using namespace testing::book_files;
using ui::Answer;
using ui::Buttons;

class BookFiles : public ::testing::Test {
  protected:
    TempFolder dir;

    // A book of two entries with Chinese titles, numbered out of order on
    // purpose: the list keeps the file's order and numbers.
    static model::EntryIndex two_entries() {
        model::EntryIndex index;
        index.items = {{gbk("第二天"), 2}, {gbk("第一天"), 1}};
        index.focused_index = 0;
        return index;
    }
    static std::string two_records() { return record_of(gbk("今天晴")) + record_of(gbk("下雨")); }

    // The state as reset_book leaves it, with `path` to open.
    static BookState cleared(const std::string& path, std::string password = "") {
        BookState s;
        s.path_list = {path};
        s.book_password = std::move(password);
        return s;
    }
    static void expect_two_entries(const BookState& s) {
        ASSERT_EQ(s.entry_index.size(), 2);
        EXPECT_EQ(s.entry_index.items[0].title, gbk("第二天"));
        EXPECT_EQ(s.entry_index.items[0].record_number, 2);
        EXPECT_EQ(s.entry_index.items[1].title, gbk("第一天"));
        EXPECT_EQ(s.entry_index.items[1].record_number, 1);
        EXPECT_EQ(s.entry_index.focused_index, 0);
        EXPECT_EQ(s.record_text, two_records());
    }
    static void expect_empty_book(const BookState& s) {
        EXPECT_TRUE(s.entry_index.empty());
        EXPECT_EQ(s.entry_index.focused_index, -1);
        EXPECT_EQ(s.record_text, "");
    }
    static void expect_one_message(const ScriptedWindow& w, std::string_view text,
                                   std::string_view caption = texts::CAPTION_INFO) {
        ASSERT_EQ(w.messages.size(), 1u);
        EXPECT_EQ(w.messages[0].text, text);
        EXPECT_EQ(w.messages[0].caption, caption);
        EXPECT_EQ(w.messages[0].buttons, Buttons::ok);
    }
    static void expect_password_prompt(const ScriptedWindow& w) {
        ASSERT_EQ(w.inputs.size(), 1u);
        EXPECT_EQ(w.inputs[0].prompt, texts::PROMPT_OPEN_PASSWORD);
        EXPECT_EQ(w.inputs[0].caption, texts::CAPTION_OPEN_PASSWORD);
        EXPECT_EQ(w.inputs[0].initial, "");
        EXPECT_EQ(w.inputs[0].mode, ui::InputMode::password);
        EXPECT_FALSE(w.inputs[0].owned);
    }

    // Saves the two-entry book under `password` through save_book.
    std::string save_two_entries(const std::string& name, const std::string& password) {
        BookState s;
        s.entry_index = two_entries();
        s.record_text = two_records();
        s.book_password = password;
        s.modified = true;
        ScriptedWindow w{&s};
        const std::string path = dir.file(name);
        w.dialog_answers = {path};
        EXPECT_TRUE(save_book(s, w));
        return path;
    }
};

// ---- open_book ----

TEST_F(BookFiles, ABookSavedOpensAgainUnderTheSamePasswordWithoutAPrompt) {
    const std::string path = save_two_entries("diary.dova", "pw");
    BookState s = cleared(path, "pw");
    ScriptedWindow w{&s};
    w.set_view(ui::EDITOR_VIEW);  // opening never changes the view

    open_book(s, w);

    EXPECT_TRUE(w.inputs.empty());
    EXPECT_TRUE(w.messages.empty());
    expect_two_entries(s);
    EXPECT_EQ(w.list_events, std::vector<std::string>{"reset"});
    EXPECT_EQ(w.selected_item, -1);
    EXPECT_EQ(w.view(), ui::EDITOR_VIEW);
    EXPECT_FALSE(s.modified);
    EXPECT_EQ(s.path_list, std::vector<std::string>{path});
    EXPECT_EQ(s.book_password, "pw");
}

TEST_F(BookFiles, AnotherCurrentPasswordBringsThePromptAndEachAnswerEndsItsOwnWay) {
    const std::string path = save_two_entries("diary.dova", gbk("密码"));
    struct Case {
        const char* name;
        std::optional<std::string> entered;
        bool opens;
        std::optional<std::string_view> message;
        std::string password_after;
    };
    const Case cases[] = {
        {"right password", gbk("密码"), true, std::nullopt, gbk("密码")},
        {"wrong password", "wrong", false, texts::MSG_WRONG_PASSWORD, "wrong"},
        {"empty password", "", false, texts::MSG_WRONG_PASSWORD, ""},
        {"cancel", std::nullopt, false, std::nullopt, "other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BookState s = cleared(path, "other");
        ScriptedWindow w{&s};
        w.input_answers = {c.entered};
        open_book(s, w);

        expect_password_prompt(w);
        if (c.message) {
            expect_one_message(w, *c.message);
        } else {
            EXPECT_TRUE(w.messages.empty());
        }
        EXPECT_EQ(s.book_password, c.password_after);
        if (c.opens) {
            expect_two_entries(s);
            EXPECT_EQ(s.path_list, std::vector<std::string>{path});
        } else {
            expect_empty_book(s);
            EXPECT_TRUE(s.path_list.empty());
            EXPECT_TRUE(w.list_events.empty());
        }
        EXPECT_FALSE(s.modified);
    }
}

TEST_F(BookFiles, FilesThatAreNotBooksAreRefusedWithoutAPrompt) {
    write_bytes(dir.file("empty.dova"), "");
    write_bytes(dir.file("foreign.dova"), std::string(400, 'z'));
    // One byte short of the signature.
    write_bytes(dir.file("short.dova"), BOOK_SIGNATURE.substr(0, BOOK_SIGNATURE.size() - 1));
    std::string bent(BOOK_SIGNATURE);
    bent[100] ^= 1;
    write_bytes(dir.file("bent.dova"), bent + "more bytes");
    for (std::string path :
         {dir.file("empty.dova"), dir.file("foreign.dova"), dir.file("short.dova"),
          dir.file("bent.dova"), dir.file("missing.dova"), dir.path(), std::string()}) {
        SCOPED_TRACE(path);
        BookState s = cleared(path, "pw");
        ScriptedWindow w{&s};
        open_book(s, w);
        expect_one_message(w, texts::MSG_NOT_A_BOOK);
        EXPECT_TRUE(w.inputs.empty());
        EXPECT_TRUE(s.path_list.empty());
        EXPECT_EQ(s.book_password, "pw");
        expect_empty_book(s);
    }
}

TEST_F(BookFiles, AFileOfOnlyTheSignatureAlwaysEndsInTheWrongPasswordMessage) {
    write_bytes(dir.file("bare.dova"), BOOK_SIGNATURE);
    for (std::string entered : {"", "pw", "anything"}) {
        BookState s = cleared(dir.file("bare.dova"));
        ScriptedWindow w{&s};
        w.input_answers = {entered};
        open_book(s, w);
        expect_password_prompt(w);
        expect_one_message(w, texts::MSG_WRONG_PASSWORD);
        EXPECT_TRUE(s.path_list.empty());
    }
}

TEST_F(BookFiles, DamagedBooksEndInTheirOutcome) {
    const std::string check(texts::CHECK_TEXT), mark(texts::SECTION_MARK);
    model::EntryIndex none;
    const std::string empty_book = build_book_text(none, "").text;
    const std::string good = build_book_text(two_entries(), two_records()).text;
    std::string bad_end = good;
    bad_end.replace(bad_end.size() - 2, 1, "X");  // the end mark spoiled

    struct Case {
        const char* name;
        std::string plain;
        std::optional<std::string_view> message;
        std::string_view caption;
        bool keeps_path;
    };
    const Case cases[] = {
        {"check text only", check, texts::MSG_BAD_LAYOUT, texts::CAPTION_ERROR, false},
        {"no end mark", bad_end, texts::MSG_BAD_LAYOUT, texts::CAPTION_ERROR, false},
        {"cut short", good.substr(0, good.size() / 2), texts::MSG_BAD_LAYOUT, texts::CAPTION_ERROR,
         false},
        {"no entries", empty_book, std::nullopt, {}, true},
        {"trailing bytes", good + "junk after the end", std::nullopt, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("damaged.dova");
        write_bytes(path, book_bytes(c.plain, ""));
        BookState s = cleared(path);
        ScriptedWindow w{&s};
        open_book(s, w);
        EXPECT_TRUE(w.inputs.empty());
        if (c.message) {
            expect_one_message(w, *c.message, c.caption);
        } else {
            EXPECT_TRUE(w.messages.empty());
        }
        EXPECT_EQ(s.path_list.empty(), !c.keeps_path);
        if (c.plain == good + "junk after the end") {
            expect_two_entries(s);
        } else {
            expect_empty_book(s);
        }
    }
}

TEST_F(BookFiles, AWrongPasswordBookIsNoCheckTextEvenWithTheRightOneTyped) {
    // Enciphered under "a" but its text lacks the check text: the prompt
    // comes, and the right password still gives the wrong-password message.
    const std::string path = dir.file("odd.dova");
    write_bytes(path, book_bytes("not a book text at all", "a"));
    BookState s = cleared(path, "a");
    ScriptedWindow w{&s};
    w.input_answers = {"a"};
    open_book(s, w);
    expect_password_prompt(w);
    expect_one_message(w, texts::MSG_WRONG_PASSWORD);
    EXPECT_TRUE(s.path_list.empty());
}

// ---- save_book ----

TEST_F(BookFiles, SaveWritesTheSignatureAndTheEncipheredBookText) {
    BookState s;
    s.entry_index = two_entries();
    s.record_text = two_records();
    s.book_password = "pw";
    s.modified = true;
    ScriptedWindow w{&s};
    const std::string path = dir.file("new.dova");
    w.dialog_answers = {path};

    ASSERT_TRUE(save_book(s, w));
    ASSERT_EQ(w.dialogs.size(), 1u);
    EXPECT_TRUE(w.dialogs[0].save_mode);
    EXPECT_EQ(w.dialogs[0].title, texts::TITLE_SAVE_BOOK);
    EXPECT_EQ(s.path_list, std::vector<std::string>{path});
    EXPECT_TRUE(s.modified);  // saving never clears it
    EXPECT_TRUE(w.messages.empty());
    const std::string plain = build_book_text(s.entry_index, s.record_text).text;
    EXPECT_EQ(read_bytes(path), book_bytes(plain, "pw"));

    // The next save goes to the same path without asking, and writes again.
    s.record_text = record_of("x") + record_of("y");
    ASSERT_TRUE(save_book(s, w));
    EXPECT_EQ(w.dialogs.size(), 1u);
    EXPECT_EQ(read_book(path, "pw").record_text, record_of("x") + record_of("y"));
}

TEST_F(BookFiles, SavingAnUnchangedBookWritesNothingAndAsksNothing) {
    for (bool has_path : {false, true}) {
        BookState s;
        s.entry_index = two_entries();
        s.record_text = two_records();
        if (has_path) s.path_list = {dir.file("x.dova")};
        ScriptedWindow w{&s};
        EXPECT_TRUE(save_book(s, w));
        EXPECT_TRUE(w.dialogs.empty());
        EXPECT_TRUE(w.messages.empty());
        EXPECT_FALSE(read_bytes(dir.file("x.dova")).has_value());
    }
}

TEST_F(BookFiles, ACancelledPathIsAFailureAndWritesNothing) {
    BookState s;
    s.modified = true;
    ScriptedWindow w{&s};
    w.dialog_answers = {std::nullopt};
    EXPECT_FALSE(save_book(s, w));
    expect_one_message(w, texts::MSG_SAVE_NO_PATH);
    EXPECT_TRUE(s.path_list.empty());
    EXPECT_TRUE(s.modified);
}

TEST_F(BookFiles, ABookTheLayoutCannotCarryIsRefusedBeforeAnyPathIsAsked) {
    BookState s;
    s.entry_index.items = {{"a,b", 1}};
    s.entry_index.focused_index = 0;
    s.record_text = record_of("x");
    s.modified = true;
    ScriptedWindow w{&s};
    EXPECT_FALSE(save_book(s, w));
    expect_one_message(w, model::fault_message(model::TextFault::title_comma));
    EXPECT_TRUE(w.dialogs.empty());
    EXPECT_TRUE(s.path_list.empty());
}

TEST_F(BookFiles, SavingFromTheEditorStoresTheEditedEntryFirst) {
    BookState s;
    s.entry_index.items = {{"t", 1}};
    s.entry_index.focused_index = 0;
    s.record_text = record_of("old");
    s.editor_baseline = "old";
    s.path_list = {dir.file("e.dova")};
    ScriptedWindow w{&s};
    w.set_view(ui::EDITOR_VIEW);
    w.set_edit_text(ui::EditBox::diary, "new");
    w.message_answers = {Answer::yes};

    EXPECT_TRUE(save_book(s, w));
    EXPECT_EQ(w.view(), ui::LIST_VIEW);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, texts::ASK_STORE_EDITOR);
    EXPECT_EQ(read_book(dir.file("e.dova"), "").record_text, record_of("new"));
}

TEST_F(BookFiles, AFailedWriteIsReportedWithItsReason) {
    write_bytes(dir.file("plain-file"), "x");
    struct Case {
        const char* name;
        std::string path;
        bool chosen_now;
    };
    const Case cases[] = {
        {"folder is a file, path chosen", dir.file("plain-file") + "/b.dova", true},
        {"folder is a file, path held", dir.file("plain-file") + "/b.dova", false},
        {"missing folder", dir.file("no/such/folder/b.dova"), false},
        {"under /proc", "/proc/dova-no-such-dir/b.dova", false},
        {"the path is a folder", dir.path(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BookState s;
        s.entry_index = two_entries();
        s.record_text = two_records();
        s.modified = true;
        ScriptedWindow w{&s};
        if (c.chosen_now) {
            w.dialog_answers = {c.path};
        } else {
            s.path_list = {c.path};
        }
        EXPECT_FALSE(save_book(s, w));
        ASSERT_EQ(w.messages.size(), 1u);
        const std::string prefix = std::string(texts::MSG_SAVE_FAILED) + "\xA3\xBA";
        EXPECT_TRUE(w.messages[0].text.starts_with(prefix));
        EXPECT_GT(w.messages[0].text.size(), prefix.size()) << "the reason is missing";
        EXPECT_EQ(w.messages[0].caption, texts::CAPTION_INFO);
        // A path that was never written is not kept; a held one stays.
        EXPECT_EQ(s.path_list.empty(), c.chosen_now);
        EXPECT_TRUE(s.modified);
    }
    EXPECT_EQ(read_bytes(dir.file("plain-file")), "x");
}

// A write that runs out of room half-way (the file-size limit stands in for a
// full disk, and root gets it too) leaves the old book as it was.
TEST_F(BookFiles, AWriteThatRunsOutOfRoomLeavesTheOldBookIntact) {
    const std::string path = save_two_entries("kept.dova", "pw");
    const std::optional<std::string> before = read_bytes(path);
    ASSERT_TRUE(before);

    BookState s;
    s.entry_index = two_entries();
    s.record_text = two_records() + record_of(std::string(64 * 1024, 'a'));
    s.entry_index.items.push_back({"big", 3});
    s.book_password = "pw";
    s.modified = true;
    s.path_list = {path};
    ScriptedWindow w{&s};

    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = 16 * 1024;
    auto old_handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = save_book(s, w);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_TRUE(w.messages[0].text.starts_with(texts::MSG_SAVE_FAILED));
    EXPECT_EQ(read_bytes(path), before);
    // Nothing is left beside it either.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(BookFiles, AReadOnlyFolderLeavesTheOldBookIntact) {
    const std::string sub = dir.file("locked");
    std::filesystem::create_directory(sub);
    const std::string path = sub + "/kept.dova";
    write_bytes(path, "old book");
    // Searchable by anyone, the book's folder writable by no one but root.
    chmod(dir.path().c_str(), 0755);
    chmod(sub.c_str(), 0555);
    const auto outcome = testing::run_unprivileged([&] {
        BookState s;
        s.entry_index = two_entries();
        s.record_text = two_records();
        s.modified = true;
        s.path_list = {path};
        ScriptedWindow w{&s};
        return !save_book(s, w) && w.messages.size() == 1 &&
               w.messages[0].text.starts_with(texts::MSG_SAVE_FAILED);
    });
    if (outcome == testing::Unprivileged::impossible) GTEST_SKIP() << "cannot drop root";
    EXPECT_EQ(outcome, testing::Unprivileged::passed);
    EXPECT_EQ(read_bytes(path), "old book");
}

}  // namespace
}  // namespace dova::storage

namespace dova::storage {
namespace {

TEST_F(BookFiles, StartUpOpensTheBookNamedFirstOnTheCommandLine) {
    const std::string path = save_two_entries("start.dova", "");
    BookState s;
    ScriptedWindow w{&s};
    app::StartUpSteps steps;
    app::start_up(s, w, {path, dir.file("second.dova")}, steps);
    expect_two_entries(s);
    EXPECT_EQ(s.path_list, (std::vector<std::string>{path, dir.file("second.dova")}));
    EXPECT_FALSE(s.modified);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.drop_registrations, 1);
}

}  // namespace
}  // namespace dova::storage
