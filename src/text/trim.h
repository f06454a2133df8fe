// Trimming rules shared by the editor, the records and the start-up lock.
#pragma once

#include <string_view>

namespace dova::text {

// Drops every trailing "\r\n" pair, then every leading one. A lone "\r" or
// "\n" stays.
std::string_view trim_crlf(std::string_view t);

// Drops the trailing run of blanks: ASCII 0x20 and the full-width blank
// A1 A1, found character by character so a double-byte character is never
// split. Tabs and line breaks stay.
std::string_view trim_trailing_blanks(std::string_view t);

}  // namespace dova::text
