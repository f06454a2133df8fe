// Stub: replaced by the real file layer.
#include "platform/file_io.h"
namespace dova::platform {
std::optional<std::string> read_whole_file(const std::string&) { return std::nullopt; }
std::string write_file_atomically(const std::string&, std::string_view) { return "stub"; }
void delete_file(const std::string&) {}
}  // namespace dova::platform
