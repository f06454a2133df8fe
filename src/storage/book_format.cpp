#include "storage/book_format.h"

#include <algorithm>
#include <charconv>

#include "text/gbk.h"
#include "text/number.h"
#include "text/texts.h"

namespace dova::storage {
namespace {

using texts::CHECK_TEXT;
using texts::END_MARK;
using texts::SECTION_MARK;
constexpr std::string_view kCrLf = "\r\n";

// CHECK_TEXT, "\r\n", SECTION_MARK, "\r\n": everything before the length digits.
constexpr std::int64_t kLead = 32;

int digits(std::int64_t n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

void append_number(std::string& out, std::int64_t n) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    (void)ec;  // 24 bytes hold every 64-bit value
    out.append(buf, end);
}

std::size_t number_length(std::int64_t n) {
    char buf[24];
    return static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, n).ptr - buf);
}

// Where the record text lies inside a parsed text, and the rest of the
// result; the record text itself is copied or moved out by the caller.
struct Layout {
    ParseResult result;
    std::string_view record;
};

Layout read_layout(std::string_view t) {
    Layout out;
    ParseResult& r = out.result;
    if (!t.starts_with(CHECK_TEXT)) return out;
    r.outcome = ParseOutcome::bad_layout;

    std::string_view first, second;
    text::Splitter head(t, SECTION_MARK);
    if (!head.next(first) || !head.next(second)) return out;

    // Only the first N bytes count: whatever follows the end is dropped.
    const std::int64_t n = text::read_number(second);
    std::string_view cut;
    if (n > 0)
        cut = t.substr(0, static_cast<std::size_t>(
                              std::min<std::uint64_t>(static_cast<std::uint64_t>(n), t.size())));

    std::string_view piece[5], extra;
    std::size_t count = 0;
    text::Splitter sections(cut, SECTION_MARK);
    while (count < 5 && sections.next(piece[count])) ++count;
    if (count != 5 || sections.next(extra)) return out;
    if (!piece[4].ends_with(END_MARK)) return out;

    std::string_view line;
    std::size_t lines = 0;
    text::Splitter probe(piece[2], kCrLf);
    while (lines < 2 && probe.next(line)) ++lines;
    if (lines <= 1) {
        r.outcome = ParseOutcome::no_entries;
        return out;
    }
    text::Splitter index(piece[2], kCrLf);
    while (index.next(line)) {
        if (line.empty()) continue;
        std::string_view title, number, more;
        text::Splitter parts(line, ",");
        // Only a line of exactly two parts names an entry; others are skipped.
        if (!parts.next(title) || !parts.next(number) || parts.next(more)) continue;
        r.entries.push_back({std::string(title), text::read_number32(number)});
    }

    std::string_view record = piece[3];
    while (record.ends_with(kCrLf)) record.remove_suffix(2);
    out.record = record;
    r.outcome = ParseOutcome::entries;
    return out;
}

}  // namespace

std::int64_t length_field(std::int64_t L) {
    std::int64_t n = L + kLead;
    const int d = digits(n);
    n += d;
    if (digits(n) > d) n += 1;
    return n;
}

BuildResult build_book_text(const model::EntryIndex& index, std::string_view record_text) {
    BuildResult r;
    for (const auto& e : index.items) {
        r.fault = model::check_title(e.title);
        if (r.fault != model::TextFault::none) return r;
    }
    // A zero byte would end the deciphered text early; a section mark would
    // split the book into more sections than it has.
    if (record_text.find('\0') != std::string_view::npos) {
        r.fault = model::TextFault::nul_byte;
        return r;
    }
    if (text::contains(record_text, SECTION_MARK)) {
        r.fault = model::TextFault::body_section_mark;
        return r;
    }

    std::size_t index_length = 0;
    for (const auto& e : index.items) {
        index_length += kCrLf.size() + e.title.size() + 1 + number_length(e.record_number);
    }
    const std::size_t mark_length = kCrLf.size() + SECTION_MARK.size();
    const std::size_t body_length = mark_length + index_length + mark_length + record_text.size() +
                                    mark_length + kCrLf.size() + END_MARK.size();
    const std::int64_t n = length_field(static_cast<std::int64_t>(body_length));

    std::string& out = r.text;
    out.reserve(static_cast<std::size_t>(n));
    out.append(CHECK_TEXT).append(kCrLf).append(SECTION_MARK).append(kCrLf);
    append_number(out, n);
    out.append(kCrLf).append(SECTION_MARK);
    for (const auto& e : index.items) {
        out.append(kCrLf).append(e.title).push_back(',');
        append_number(out, e.record_number);
    }
    out.append(kCrLf).append(SECTION_MARK);
    out.append(record_text);
    out.append(kCrLf).append(SECTION_MARK).append(kCrLf).append(END_MARK);
    r.ok = true;
    return r;
}

ParseResult parse_book_text(std::string_view text) {
    Layout layout = read_layout(text);
    if (layout.result.outcome == ParseOutcome::entries) {
        layout.result.record_text.assign(layout.record);
    }
    return std::move(layout.result);
}

ParseResult parse_owned_book_text(std::string&& text) {
    Layout layout = read_layout(text);
    if (layout.result.outcome == ParseOutcome::entries) {
        // Reuse the buffer: the record text is nearly all of a large book.
        const std::size_t begin = static_cast<std::size_t>(layout.record.data() - text.data());
        text.resize(begin + layout.record.size());
        text.erase(0, begin);
        layout.result.record_text = std::move(text);
    }
    return std::move(layout.result);
}

}  // namespace dova::storage
