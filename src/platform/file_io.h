// Whole-file reading and atomic whole-file writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dova::platform {

// The whole file; nothing when it is missing or cannot be read.
std::optional<std::string> read_whole_file(const std::string& path);

// Writes `content` to a new file beside `path`, flushes it to disk, then
// renames it over `path`, so a failed or interrupted write never damages the
// old file. Returns an empty string on success, else the reason (GBK).
std::string write_file_atomically(const std::string& path, std::string_view content);

// Deletes a file; failures are ignored.
void delete_file(const std::string& path);

}  // namespace dova::platform
