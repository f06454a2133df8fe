// Stub: replaced by the real start-up.
#include "app/start_up.h"
namespace dova::app {
std::vector<std::string> split_command_line(std::string_view) { return {}; }
std::string_view cleanup_marker() { return {}; }
void StartUpSteps::delete_file(const std::string&) {}
void StartUpSteps::open_book(BookState&, ui::Window&) {}
void start_up(BookState&, ui::Window&, std::vector<std::string>, StartUpSteps&) {}
void clean_up(BookState&) {}
void end_program(BookState&, ui::Window& w, int code) { w.destroy_and_exit(code); }
}  // namespace dova::app
