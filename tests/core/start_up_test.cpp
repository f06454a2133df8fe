#include "app/start_up.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/scripted_window.h"

using namespace dova;
using dova::testing::ProgramEnded;
using dova::testing::ScriptedWindow;
using Args = std::vector<std::string>;

namespace {

// GBK "[母]", the clean-up marker of a command line on Windows.
const std::string GBK_MARKER = "[\xC4\xB8]";

TEST(CommandLine, SplitsAsTheShellWritesIt) {
    struct Case {
        std::string line;
        Args args;
    };
    const Case cases[] = {
        {"dova.exe", {}},
        {"", {}},
        {"dova.exe ", {}},
        {"dova.exe a.dova", {"a.dova"}},
        {"\"C:\\Program Files\\dova.exe\" a.dova", {"a.dova"}},
        {"\"C:\\p.exe\"a.dova", {"a.dova"}},
        {"\"C:\\p.exe\"  a.dova", {"a.dova"}},  // one blank belongs to the path, more separate
        {"\"C:\\unfinished path a.dova", {}},
        {"dova.exe \"C:\\My Diary\\a.dova\"", {"C:\\My Diary\\a.dova"}},
        {"dova.exe C:\\My Diary\\a.dova", {"C:\\My", "Diary\\a.dova"}},
        {"dova.exe a.dova b.dova", {"a.dova", "b.dova"}},
        {"dova.exe \"\" b", {"", "b"}},
        {"dova.exe \"\"\"\"", {"", ""}},
        {"dova.exe a\"b c\"d", {"a", "b c", "d"}},
        {"dova.exe \"open to the end", {"open to the end"}},
        {"dova.exe \t a\tb\x01"
         "c\x7F"
         "d \x20",
         {"a", "b",
          "c\x7F"
          "d"}},
        {"dova.exe \xB5\xDA\xD2\xBB.dova", {"\xB5\xDA\xD2\xBB.dova"}},  // 第一.dova
        {"dova.exe " + GBK_MARKER + "C:\\tmp\\old.exe x", {GBK_MARKER + "C:\\tmp\\old.exe", "x"}},
    };
    for (const auto& c : cases) EXPECT_EQ(app::split_command_line(c.line), c.args) << c.line;
}

TEST(CommandLine, CleanUpMarkerIsInTheEncodingOfTheArguments) {
#ifdef _WIN32
    EXPECT_EQ(app::cleanup_marker(), GBK_MARKER);
#else
    EXPECT_EQ(app::cleanup_marker(), "[母]");
#endif
}

// Every step and every window call of interest, in one log.
struct Log {
    std::vector<std::string> lines;
};

class LoggingWindow : public ScriptedWindow {
  public:
    explicit LoggingWindow(BookState* s, Log& log) : ScriptedWindow(s), log_(log) {}
    void wait_dispatching(int ms) override {
        log_.lines.push_back("wait " + std::to_string(ms));
        ScriptedWindow::wait_dispatching(ms);
    }
    void set_outer_size(int w, int h) override {
        log_.lines.push_back("size " + std::to_string(w) + "x" + std::to_string(h));
        ScriptedWindow::set_outer_size(w, h);
    }
    void register_drop_target() override {
        log_.lines.push_back("drop target");
        ScriptedWindow::register_drop_target();
    }

  private:
    Log& log_;
};

class RecordingSteps : public app::StartUpSteps {
  public:
    explicit RecordingSteps(Log& log) : log_(log) {}
    bool end_at_notice = false;
    bool end_at_lock = false;

    void check_update_notice(BookState& s, ui::Window& w) override {
        log_.lines.push_back("notice");
        if (end_at_notice) app::end_program(s, w, 0);
    }
    void check_startup_lock(BookState& s, ui::Window& w) override {
        log_.lines.push_back("lock");
        if (end_at_lock) app::end_program(s, w, 0);
    }
    void check_file_type(BookState& s, ui::Window&) override {
        log_.lines.push_back("file type");
        s.modified = true;  // start-up must clear it after the checks
    }
    void delete_file(const std::string& path) override { log_.lines.push_back("delete " + path); }
    void open_book(BookState& s, ui::Window&) override {
        log_.lines.push_back("open " + s.path_list.at(0) + (s.modified ? " modified" : ""));
    }

  private:
    Log& log_;
};

struct StartUpRun {
    BookState state;
    Log log;
    LoggingWindow window{&state, log};
    RecordingSteps steps{log};

    void run(Args args) { app::start_up(state, window, std::move(args), steps); }
};

const std::string M(app::cleanup_marker());

TEST(StartUp, StepsRunInTheirOrder) {
    struct Case {
        Args args;
        std::vector<std::string> log;
        Args path_list;
    };
    const std::vector<std::string> checks = {"notice", "lock", "file type", "size 180x200"};
    auto with = [&](std::vector<std::string> before, std::vector<std::string> after) {
        std::vector<std::string> all = std::move(before);
        all.insert(all.end(), checks.begin(), checks.end());
        all.insert(all.end(), after.begin(), after.end());
        return all;
    };
    const Case cases[] = {
        {{}, with({}, {"drop target"}), {}},
        {{"a.dova"}, with({}, {"open a.dova", "drop target"}), {"a.dova"}},
        // Only the first is the book; the rest stay in the list.
        {{"a.dova", "b.dova"}, with({}, {"open a.dova", "drop target"}), {"a.dova", "b.dova"}},
        {{"a.dova", M + "x"}, with({}, {"open a.dova", "drop target"}), {"a.dova", M + "x"}},
        // An empty first argument is still a book to open; open_book reports it.
        {{""}, with({}, {"open ", "drop target"}), {""}},
        // Clean-up requests open nothing, whatever follows.
        {{M + "/tmp/old.exe", "a.dova"},
         with({"wait 100", "delete /tmp/old.exe"}, {"drop target"}),
         {}},
        {{M}, with({"wait 100"}, {"drop target"}), {}},
        {{M + " "}, with({"wait 100", "delete  "}, {"drop target"}), {}},
    };
    for (const auto& c : cases) {
        StartUpRun r;
        r.state.modified = true;
        r.run(c.args);
        EXPECT_EQ(r.log.lines, c.log) << ::testing::PrintToString(c.args);
        EXPECT_EQ(r.state.path_list, c.path_list);
        EXPECT_FALSE(r.state.modified);
        EXPECT_EQ(r.window.drop_registrations, 1);
        EXPECT_EQ(r.window.width, ui::LIST_WIDTH);
        EXPECT_EQ(r.window.height, ui::LIST_HEIGHT);
        EXPECT_TRUE(r.window.messages.empty());
    }
}

// The real deletion and opening, with the checks of other parts left out.
class QuietSteps : public app::StartUpSteps {
  public:
    void check_update_notice(BookState&, ui::Window&) override {}
    void check_startup_lock(BookState&, ui::Window&) override {}
    void check_file_type(BookState&, ui::Window&) override {}
};

TEST(StartUp, CleanUpRequestDeletesTheFileAndOpensNothing) {
    char dir_template[] = "/tmp/dova-start-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    const std::string old = std::string(dir_template) + "/old.exe";
    const std::string book = std::string(dir_template) + "/a.dova";
    for (const std::string& path : {old, book}) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("x", f);
        std::fclose(f);
    }
    BookState s;
    ScriptedWindow w(&s);
    QuietSteps steps;
    app::start_up(s, w, {M + old, book}, steps);
    EXPECT_NE(access(book.c_str(), F_OK), -1);
    EXPECT_EQ(access(old.c_str(), F_OK), -1);
    EXPECT_EQ(w.waits, std::vector<int>{100});
    EXPECT_TRUE(w.messages.empty());  // no book was opened, nor any failure told
    EXPECT_TRUE(s.path_list.empty());

    // A file that is already gone is no failure either.
    app::start_up(s, w, {M + old}, steps);
    EXPECT_TRUE(w.messages.empty());
    std::remove(book.c_str());
    rmdir(dir_template);
}

TEST(StartUp, AnEarlyEndStopsTheSequence) {
    for (bool at_notice : {true, false}) {
        StartUpRun r;
        r.steps.end_at_notice = at_notice;
        r.steps.end_at_lock = !at_notice;
        try {
            r.run({"a.dova"});
            FAIL() << "start-up went on after the program ended";
        } catch (const ProgramEnded& e) {
            EXPECT_EQ(e.code, 0);
        }
        std::vector<std::string> expected = {"notice"};
        if (!at_notice) expected.push_back("lock");
        EXPECT_EQ(r.log.lines, expected);
        EXPECT_TRUE(r.state.path_list.empty());  // cleaned up on the way out
        EXPECT_EQ(r.window.drop_registrations, 0);
    }
}

TEST(StartUp, EndProgramReleasesEveryFieldAndAsksNothing) {
    BookState s;
    s.record_text = std::string(1000, 'r');
    s.entry_index.items = {{"t", 1}, {"u", 2}};
    s.entry_index.focused_index = 1;
    s.editor_baseline = std::string(1000, 'e');
    s.book_password = std::string(100, 'p');
    s.path_list = {std::string(300, 'a'), "b"};
    s.feedback_address = std::string(200, 'f');
    s.modified = true;
    ScriptedWindow w(&s);
    try {
        app::end_program(s, w, 3);
        FAIL() << "end_program returned";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.code, 3);
    }
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(w.dialogs.empty());
    EXPECT_TRUE(w.inputs.empty());
    const std::string empty;
    for (const std::string* field :
         {&s.record_text, &s.editor_baseline, &s.book_password, &s.feedback_address}) {
        EXPECT_TRUE(field->empty());
        EXPECT_LE(field->capacity(), empty.capacity());  // the memory is given back
    }
    EXPECT_EQ(s.entry_index.items.capacity(), 0u);
    EXPECT_EQ(s.entry_index.focused_index, -1);
    EXPECT_EQ(s.path_list.capacity(), 0u);
}

}  // namespace
