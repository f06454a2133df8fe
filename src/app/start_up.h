// Start-up, the command line and the end of the program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/book_state.h"
#include "ui/window.h"

namespace dova::app {

// Splits a whole command line (GBK, as one text) into its arguments after the
// program's own path.
std::vector<std::string> split_command_line(std::string_view line);

// The clean-up marker "[母]" in the platform's encoding of the command line.
std::string_view cleanup_marker();

// The steps of start-up that belong to other parts of the program. Those not
// built yet do nothing, so the order of the others is fixed already.
class StartUpSteps {
  public:
    virtual ~StartUpSteps() = default;
    virtual void check_update_notice(BookState&, ui::Window&) {}
    virtual void check_startup_lock(BookState&, ui::Window&) {}
    virtual void check_file_type(BookState&, ui::Window&) {}
    virtual void delete_file(const std::string& path);
    virtual void open_book(BookState& s, ui::Window& w);
};

// Runs once from the window's created event. `arguments`: the command-line
// arguments after the program's path (on Windows, split_command_line's result).
void start_up(BookState& s, ui::Window& w, std::vector<std::string> arguments, StartUpSteps& steps);

// Releases every field of the state; writes and shows nothing.
void clean_up(BookState& s);

// Clean-up, then the window is destroyed without the close query and the
// process ends with `code`. Does not return.
[[noreturn]] void end_program(BookState& s, ui::Window& w, int code);

}  // namespace dova::app
