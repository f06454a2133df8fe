// The entry store: records inside record_text and the operations that change
// entries, keeping record_text and the EntryIndex in step.
//
// A record is "\r\n[头]" + body + "[尾]"; record_text is the records one after
// another. The book format has no escapes, so titles and bodies that would
// read back wrong are refused here and nothing changes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/book_state.h"

namespace dova::model {

// Why a title or body cannot go into a book.
enum class TextFault {
    none,
    title_comma,         // "," would split the index line
    title_line_break,    // CR or LF would split the index section
    title_section_mark,  // "【分割用文本】" would split the book text
    body_end_mark,       // "[尾]" would end the record early
    body_section_mark,   // "【分割用文本】" would split the book text
    nul_byte,            // a zero byte ends the deciphered text
    incomplete_char,     // a lone lead byte at the end would swallow the next mark
};

TextFault check_title(std::string_view title);
TextFault check_body(std::string_view body);
// The GBK message that tells the user which character is not allowed.
std::string_view fault_message(TextFault fault);

// Building blocks.
std::vector<std::string_view> split_records(std::string_view text);
std::string join_records(const std::vector<std::string_view>& pieces);
std::string_view trim_crlf(std::string_view text);
// The body a piece of split_records holds: what follows its leading "\r\n"
// pairs and its "[头]"; nothing when it has no "[头]".
std::optional<std::string_view> piece_body(std::string_view piece);
// Appends the record of `body` ("\r\n[头]" + body + "[尾]") to `records`.
void append_record(std::string& records, std::string_view body);
// Today's local date as "%d年%d月%d日" in GBK.
std::string default_title();
// The same for a given date (for tests and callers with their own clock).
std::string date_title(int year, int month, int day);

struct AddResult {
    int index = -1;  // list index of the new item, or -1 when none was added
    TextFault fault = TextFault::none;
};

AddResult append_entry(BookState& s, std::string_view title);
AddResult insert_entry(BookState& s, std::string_view title);
void delete_entry(BookState& s);
TextFault retitle_entry(BookState& s, std::string_view title);

struct FetchResult {
    bool in_range = false;  // the record number names a record
    bool found = false;     // the record begins with "[头]"
    std::string body;
};
FetchResult fetch_record_body(const BookState& s, std::int32_t record_number);

enum class StoreResult { stored, no_record, refused };
struct StoreOutcome {
    StoreResult result = StoreResult::stored;
    TextFault fault = TextFault::none;
};
StoreOutcome store_record_body(BookState& s, std::int32_t record_number, std::string_view body);

}  // namespace dova::model
