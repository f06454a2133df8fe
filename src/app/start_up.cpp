#include "app/start_up.h"

#include <cstdlib>

#include "platform/file_io.h"
#include "storage/book_io.h"
#include "text/texts.h"

namespace dova::app {
namespace {

// Frees the memory too, not just the contents.
template <typename T>
void release(T& value) {
    T().swap(value);
}

bool is_separator(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

std::vector<std::string> split_command_line(std::string_view line) {
    const std::size_t n = line.size();
    std::size_t i = 0;
    // The program's own path: quoted up to the next quote (then one blank),
    // or plain up to and including the first blank.
    if (n > 0 && line[0] == '"') {
        std::size_t close = line.find('"', 1);
        i = close == std::string_view::npos ? n : close + 1;
        if (i < n && line[i] == ' ') ++i;
    } else {
        std::size_t blank = line.find(' ');
        i = blank == std::string_view::npos ? n : blank + 1;
    }

    std::vector<std::string> arguments;
    while (i < n) {
        if (line[i] == '"') {
            std::size_t close = line.find('"', i + 1);
            std::size_t end = close == std::string_view::npos ? n : close;
            arguments.emplace_back(line.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? n : close + 1;
        } else if (is_separator(line[i])) {
            ++i;
        } else {
            std::size_t end = i;
            while (end < n && !is_separator(line[end]) && line[end] != '"') ++end;
            arguments.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return arguments;
}

std::string_view cleanup_marker() {
#ifdef _WIN32
    return texts::CLEANUP_MARKER_GBK;
#else
    return "[\xE6\xAF\x8D]";  // "[母]" in UTF-8, the encoding of the arguments here
#endif
}

void StartUpSteps::delete_file(const std::string& path) {
    platform::delete_file(path);
}

void StartUpSteps::open_book(BookState& s, ui::Window& w) {
    storage::open_book(s, w);
}

void start_up(BookState& s, ui::Window& w, std::vector<std::string> arguments,
              StartUpSteps& steps) {
    s.path_list = std::move(arguments);

    // A clean-up request: an older copy of the program asks for a file to be
    // removed once it has let go of it. No book is opened after one.
    if (!s.path_list.empty() && s.path_list.front().starts_with(cleanup_marker())) {
        std::string doomed = s.path_list.front().substr(cleanup_marker().size());
        w.wait_dispatching(100);
        if (!doomed.empty()) steps.delete_file(doomed);
        s.path_list.clear();
    }

    steps.check_update_notice(s, w);
    steps.check_startup_lock(s, w);
    steps.check_file_type(s, w);
    s.modified = false;
    w.set_outer_size(ui::LIST_WIDTH, ui::LIST_HEIGHT);
    if (!s.path_list.empty()) steps.open_book(s, w);
    w.register_drop_target();
}

void clean_up(BookState& s) {
    release(s.record_text);
    release(s.entry_index.items);
    s.entry_index.focused_index = -1;
    release(s.editor_baseline);
    release(s.book_password);
    for (std::string& path : s.path_list) release(path);
    release(s.path_list);
    release(s.feedback_address);
}

void end_program(BookState& s, ui::Window& w, int code) {
    clean_up(s);
    w.destroy_and_exit(code);
    // A window that failed to end the process must not let the caller go on.
    std::_Exit(code);
}

}  // namespace dova::app
