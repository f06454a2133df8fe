#include "model/entry_store.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>

#include "text/gbk.h"
#include "text/texts.h"
#include "text/trim.h"

namespace dova::model {
namespace {

using texts::RECORD_HEAD;
using texts::RECORD_TAIL;
using texts::SECTION_MARK;

// A new piece ("\r\n[头]") and a new record (the piece with its "[尾]").
constexpr std::string_view NEW_PIECE = "\r\n[\xCD\xB7]";
constexpr std::string_view NEW_RECORD = "\r\n[\xCD\xB7][\xCE\xB2]";
static_assert(NEW_PIECE.substr(2) == RECORD_HEAD);
static_assert(NEW_RECORD.substr(NEW_PIECE.size()) == RECORD_TAIL);

constexpr std::string_view CRLF = "\r\n";

// A byte below 0x80 always ends a character (alone, or as the trail of a
// lead byte), so character starts can be worked out from just after the
// last such byte before `pos` instead of from the beginning of the text.
bool is_char_start(std::string_view t, std::size_t pos) {
    std::size_t from = pos;
    while (from > 0 && static_cast<unsigned char>(t[from - 1]) >= 0x80) --from;
    return text::next_char_start(t, from, pos) == pos;
}

// The last character is a lead byte with nothing after it: it would pair
// with whatever the book writes next ("," or "[尾]") and hide that mark.
bool ends_with_lone_lead(std::string_view t) {
    return !t.empty() && static_cast<unsigned char>(t.back()) >= 0x80 &&
           is_char_start(t, t.size() - 1);
}

bool has_nul(std::string_view t) {
    return std::memchr(t.data(), 0, t.size()) != nullptr;
}

// Whether the last piece of the records lacks its closing "[尾]" (only a
// damaged file leaves it so); every change closes it, as joining does.
bool last_piece_open(std::string_view t) {
    if (t.empty()) return false;
    // "[尾]" cannot overlap itself, so one at the very end that begins a
    // character is the separator that ends the last piece.
    return !(t.ends_with(RECORD_TAIL) && is_char_start(t, t.size() - RECORD_TAIL.size()));
}

void close_last_piece(std::string& t) {
    if (last_piece_open(t)) t += RECORD_TAIL;
}

// Where piece k (1-based) of the records lies, without splitting them all.
struct PieceSpan {
    std::size_t begin;
    std::size_t end;  // where its "[尾]" starts, or the end of the text
    bool closed;      // a "[尾]" follows it
};

std::optional<PieceSpan> locate_piece(std::string_view t, std::int64_t k) {
    if (k < 1) return std::nullopt;
    std::size_t pos = 0;
    for (std::int64_t i = 1;; ++i) {
        if (pos >= t.size()) return std::nullopt;  // no piece begins here
        std::size_t hit = text::find_at_char_start(t, RECORD_TAIL, pos);
        if (i == k) {
            if (hit == std::string_view::npos) return PieceSpan{pos, t.size(), false};
            return PieceSpan{pos, hit, true};
        }
        if (hit == std::string_view::npos) return std::nullopt;  // the rest was the last piece
        pos = hit + RECORD_TAIL.size();
    }
}

// Where a new record goes so that it becomes piece f + 1 (0-based position f
// among the pieces), or nothing when there are fewer than f pieces. The
// records must have their last piece closed, unless it ends in a lone lead
// byte that swallows the closing mark; then it counts as one more piece.
std::optional<std::size_t> insert_position(std::string_view t, int f) {
    std::size_t pos = 0;
    for (int i = 0; i < f; ++i) {
        if (pos >= t.size()) return std::nullopt;
        std::size_t hit = text::find_at_char_start(t, RECORD_TAIL, pos);
        pos = hit == std::string_view::npos ? t.size() : hit + RECORD_TAIL.size();
    }
    return pos;
}

// Record numbers read from a damaged file may sit at the ends of the range;
// renumbering stops there instead of wrapping round.
std::int32_t step(std::int32_t n, int by) {
    std::int64_t r = static_cast<std::int64_t>(n) + by;
    if (r > INT32_MAX) return INT32_MAX;
    if (r < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(r);
}

bool valid_focus(const EntryIndex& index) {
    return index.focused_index >= 0 && index.focused_index < index.size();
}

}  // namespace

TextFault check_title(std::string_view title) {
    if (has_nul(title)) return TextFault::nul_byte;
    if (title.find_first_of(CRLF) != std::string_view::npos) return TextFault::title_line_break;
    if (text::contains(title, ",")) return TextFault::title_comma;
    if (text::contains(title, SECTION_MARK)) return TextFault::title_section_mark;
    if (ends_with_lone_lead(title)) return TextFault::incomplete_char;
    return TextFault::none;
}

TextFault check_body(std::string_view body) {
    if (has_nul(body)) return TextFault::nul_byte;
    if (text::contains(body, RECORD_TAIL)) return TextFault::body_end_mark;
    if (text::contains(body, SECTION_MARK)) return TextFault::body_section_mark;
    if (ends_with_lone_lead(body)) return TextFault::incomplete_char;
    return TextFault::none;
}

std::string_view fault_message(TextFault fault) {
    switch (fault) {
        case TextFault::none:
            return {};
        case TextFault::title_comma:
            return texts::REFUSE_TITLE_COMMA;
        case TextFault::title_line_break:
            return texts::REFUSE_TITLE_LINE_BREAK;
        case TextFault::title_section_mark:
            return texts::REFUSE_TITLE_SECTION_MARK;
        case TextFault::body_end_mark:
            return texts::REFUSE_BODY_END_MARK;
        case TextFault::body_section_mark:
            return texts::REFUSE_BODY_SECTION_MARK;
        case TextFault::nul_byte:
            return texts::REFUSE_NUL;
        case TextFault::incomplete_char:
            return texts::REFUSE_INCOMPLETE_CHAR;
    }
    return {};
}

std::vector<std::string_view> split_records(std::string_view text) {
    return text::split(text, RECORD_TAIL);
}

std::string join_records(const std::vector<std::string_view>& pieces) {
    std::size_t size = 0;
    for (auto p : pieces) size += p.size() + RECORD_TAIL.size();
    std::string out;
    out.reserve(size);
    for (auto p : pieces) {
        out += p;
        out += RECORD_TAIL;
    }
    return out;
}

std::string_view trim_crlf(std::string_view text) {
    return text::trim_crlf(text);
}

std::string date_title(int year, int month, int day) {
    std::string out = std::to_string(year);
    out += texts::DATE_YEAR;
    out += std::to_string(month);
    out += texts::DATE_MONTH;
    out += std::to_string(day);
    out += texts::DATE_DAY;
    return out;
}

std::string default_title() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return date_title(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

AddResult append_entry(BookState& s, std::string_view title) {
    if (TextFault fault = check_title(title); fault != TextFault::none) return {-1, fault};
    EntryIndex& index = s.entry_index;
    const int n = index.size();
    // Closing a damaged last piece first keeps the new record from being
    // glued onto it.
    close_last_piece(s.record_text);
    s.record_text += NEW_RECORD;
    index.items.push_back({std::string(title), n + 1});
    if (n == 0) index.focused_index = 0;
    s.modified = true;
    return {n, TextFault::none};
}

AddResult insert_entry(BookState& s, std::string_view title) {
    if (TextFault fault = check_title(title); fault != TextFault::none) return {-1, fault};
    EntryIndex& index = s.entry_index;
    close_last_piece(s.record_text);
    s.modified = true;
    if (!valid_focus(index)) return {-1, TextFault::none};

    const int f = index.focused_index;
    if (auto pos = insert_position(s.record_text, f)) s.record_text.insert(*pos, NEW_RECORD);
    // The new item takes the number the focused item had before moving up.
    const std::int32_t number = index.items[f].record_number;
    for (int i = f; i < index.size(); ++i)
        index.items[i].record_number = step(index.items[i].record_number, 1);
    index.items.insert(index.items.begin() + f, Entry{std::string(title), number});
    return {f, TextFault::none};
}

void delete_entry(BookState& s) {
    EntryIndex& index = s.entry_index;
    const bool last_open = last_piece_open(s.record_text);
    s.modified = true;
    if (!valid_focus(index)) {
        if (last_open) s.record_text += RECORD_TAIL;
        return;
    }

    const int f = index.focused_index;
    if (auto span = locate_piece(s.record_text, index.items[f].record_number)) {
        // A piece left open loses the "[尾]" that closing would have given it;
        // any other open last piece is closed as joining would.
        if (!span->closed) {
            s.record_text.erase(span->begin);
        } else {
            if (last_open) s.record_text += RECORD_TAIL;
            s.record_text.erase(span->begin, span->end + RECORD_TAIL.size() - span->begin);
        }
    } else if (last_open) {
        s.record_text += RECORD_TAIL;
    }
    for (int i = f + 1; i < index.size(); ++i) {
        index.items[i].record_number = step(index.items[i].record_number, -1);
    }
    index.items.erase(index.items.begin() + f);
    if (index.empty()) {
        index.focused_index = -1;
    } else if (f >= index.size()) {
        index.focused_index = index.size() - 1;
    }
}

TextFault retitle_entry(BookState& s, std::string_view title) {
    if (TextFault fault = check_title(title); fault != TextFault::none) return fault;
    EntryIndex& index = s.entry_index;
    if (!valid_focus(index)) {
        if (!title.empty()) s.modified = true;
        return TextFault::none;
    }
    std::string& current = index.items[index.focused_index].title;
    if (current != title) {
        current = std::string(title);
        s.modified = true;
    }
    return TextFault::none;
}

std::optional<std::string_view> piece_body(std::string_view piece) {
    while (piece.starts_with(CRLF)) piece.remove_prefix(CRLF.size());
    if (!piece.starts_with(RECORD_HEAD)) return std::nullopt;
    return piece.substr(RECORD_HEAD.size());
}

void append_record(std::string& records, std::string_view body) {
    records.append(NEW_PIECE).append(body).append(RECORD_TAIL);
}

FetchResult fetch_record_body(const BookState& s, std::int32_t record_number) {
    FetchResult result;
    auto span = locate_piece(s.record_text, record_number);
    if (!span) return result;
    result.in_range = true;
    const auto body =
        piece_body(std::string_view(s.record_text).substr(span->begin, span->end - span->begin));
    if (!body) return result;
    result.found = true;
    result.body = std::string(*body);
    return result;
}

StoreOutcome store_record_body(BookState& s, std::int32_t record_number, std::string_view body) {
    if (TextFault fault = check_body(body); fault != TextFault::none) {
        return {StoreResult::refused, fault};
    }
    auto span = locate_piece(s.record_text, record_number);
    if (!span) return {StoreResult::no_record, TextFault::none};

    const bool last_open = last_piece_open(s.record_text);
    std::string piece;
    piece.reserve(NEW_PIECE.size() + body.size() + RECORD_TAIL.size());
    piece += NEW_PIECE;
    piece += body;
    if (!span->closed) piece += RECORD_TAIL;  // it was the open last piece
    s.record_text.replace(span->begin, span->end - span->begin, piece);
    if (span->closed && last_open) s.record_text += RECORD_TAIL;
    s.modified = true;
    return {StoreResult::stored, TextFault::none};
}

}  // namespace dova::model
