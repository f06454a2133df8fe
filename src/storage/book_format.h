// The plain book text: check text, length field, index section, record text
// and end mark, separated by "【分割用文本】".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/entry_index.h"
#include "model/entry_store.h"

namespace dova::storage {

struct BuildResult {
    bool ok = false;
    model::TextFault fault = model::TextFault::none;  // why it was refused
    std::string text;
};
// Refuses (ok false, nothing built) a title or record text the layout cannot
// carry; otherwise the exact plain book text.
BuildResult build_book_text(const model::EntryIndex& index, std::string_view record_text);

enum class ParseOutcome { no_check_text, bad_layout, no_entries, entries };

struct ParsedEntry {
    std::string title;
    std::int32_t record_number;
};
struct ParseResult {
    ParseOutcome outcome = ParseOutcome::no_check_text;
    std::vector<ParsedEntry> entries;  // outcome entries only, in file order
    std::string record_text;           // outcome entries only
};
ParseResult parse_book_text(std::string_view text);
// The same for a text the caller gives up: the record text is cut out of the
// buffer in place instead of copied, which matters for large books.
ParseResult parse_owned_book_text(std::string&& text);

// The length field for a text whose part after the length digits is L bytes.
std::int64_t length_field(std::int64_t L);

}  // namespace dova::storage
