#include "model/entry_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/texts.h"

using namespace dova;
using namespace dova::model;

namespace {

const std::string HEAD(texts::RECORD_HEAD);
const std::string TAIL(texts::RECORD_TAIL);

// The record of a body: "\r\n[头]" + body + "[尾]".
std::string rec(const std::string& body) {
    return "\r\n" + HEAD + body + TAIL;
}

// A state whose list holds `titles` numbered 1, 2, ... with the focus on f.
BookState book(std::string records, std::vector<std::string> titles, int f) {
    BookState s;
    s.record_text = std::move(records);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        s.entry_index.items.push_back({titles[i], static_cast<std::int32_t>(i + 1)});
    }
    s.entry_index.focused_index = f;
    return s;
}

std::vector<std::pair<std::string, int>> items(const BookState& s) {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& e : s.entry_index.items) out.emplace_back(e.title, e.record_number);
    return out;
}

void expect_same(const BookState& a, const BookState& b) {
    EXPECT_EQ(a.record_text, b.record_text);
    EXPECT_EQ(items(a), items(b));
    EXPECT_EQ(a.entry_index.focused_index, b.entry_index.focused_index);
    EXPECT_EQ(a.modified, b.modified);
}

// ---- a plain split-and-join model of every operation, as the records are
// described, to hold the in-place edits to ----

// Character by character, with no shortcuts.
std::vector<std::string> naive_split(const std::string& t) {
    std::vector<std::string> pieces;
    std::string cur;
    std::size_t i = 0;
    while (i < t.size()) {
        if (t.compare(i, TAIL.size(), TAIL) == 0) {
            pieces.push_back(cur);
            cur.clear();
            i += TAIL.size();
            continue;
        }
        std::size_t len = (static_cast<unsigned char>(t[i]) >= 0x80 && i + 1 < t.size()) ? 2 : 1;
        cur.append(t, i, len);
        i += len;
    }
    if (!cur.empty()) pieces.push_back(cur);
    return pieces;
}

std::string naive_join(const std::vector<std::string>& pieces) {
    std::string out;
    for (const auto& p : pieces) out += p + TAIL;
    return out;
}

void ref_append(BookState& s, const std::string& title) {
    s.record_text = naive_join(naive_split(s.record_text)) + rec("");
    s.entry_index.items.push_back({title, s.entry_index.size() + 1});
    if (s.entry_index.size() == 1) s.entry_index.focused_index = 0;
    s.modified = true;
}

void ref_insert(BookState& s, const std::string& title) {
    int f = s.entry_index.focused_index;
    auto pieces = naive_split(s.record_text);
    if (f >= 0 && f <= static_cast<int>(pieces.size())) {
        pieces.insert(pieces.begin() + f, "\r\n" + HEAD);
    }
    s.record_text = naive_join(pieces);
    auto& v = s.entry_index.items;
    if (f >= 0) {
        for (int i = f; i < static_cast<int>(v.size()); ++i) ++v[i].record_number;
        v.insert(v.begin() + f, Entry{title, v[f].record_number - 1});
    }
    s.modified = true;
}

void ref_delete(BookState& s) {
    int f = s.entry_index.focused_index;
    auto& v = s.entry_index.items;
    int r = f >= 0 ? v[f].record_number : -1;
    auto pieces = naive_split(s.record_text);
    if (r >= 1 && r <= static_cast<int>(pieces.size())) pieces.erase(pieces.begin() + (r - 1));
    s.record_text = naive_join(pieces);
    if (f >= 0) {
        for (int i = f + 1; i < static_cast<int>(v.size()); ++i) --v[i].record_number;
        v.erase(v.begin() + f);
        if (v.empty()) {
            s.entry_index.focused_index = -1;
        } else if (f >= static_cast<int>(v.size())) {
            s.entry_index.focused_index = static_cast<int>(v.size()) - 1;
        }
    }
    s.modified = true;
}

FetchResult ref_fetch(const BookState& s, int k) {
    auto pieces = naive_split(s.record_text);
    FetchResult r;
    if (k < 1 || k > static_cast<int>(pieces.size())) return r;
    r.in_range = true;
    std::string p = pieces[k - 1];
    while (p.starts_with("\r\n")) p.erase(0, 2);
    if (!p.starts_with(HEAD)) return r;
    r.found = true;
    r.body = p.substr(HEAD.size());
    return r;
}

bool ref_store(BookState& s, int k, const std::string& body) {
    auto pieces = naive_split(s.record_text);
    if (k < 1 || k > static_cast<int>(pieces.size())) return false;
    pieces[k - 1] = "\r\n" + HEAD + body;
    s.record_text = naive_join(pieces);
    s.modified = true;
    return true;
}

// Texts whose records are hard to find: separators at the start, side by
// side and at the end; "[尾]" hidden behind a lead byte; odd and even runs
// of high bytes; an open last piece, also one ending in a lone lead byte.
std::vector<std::string> tricky_texts() {
    const std::string chinese = "\xBD\xF1\xCC\xEC\xC7\xE7";  // 今天晴
    return {
        "",
        rec(""),
        rec("abc") + rec(""),
        TAIL,
        TAIL + TAIL + "x",
        rec("a") + TAIL + rec("b"),
        "\x81" + TAIL + rec("c"),
        rec("\xB0\xA1\xB0") + TAIL + rec("d"),  // odd run: the "[" pairs
        rec(chinese) + rec(chinese + "x") + rec(""),
        rec("x") + "junk",
        rec("x") + "abc\x81",
        "\r\n" + HEAD + "abc",
        "\r\n\r\n" + HEAD + "abc" + TAIL + "no head" + TAIL,
        rec(HEAD + "inner") + rec("\xB0" + TAIL),
        rec(std::string(37, '\xB0') + "[" + chinese) + rec(std::string(64, '\xC7') + "q") + "\xD0",
    };
}

}  // namespace

// ---- the examples that pin the operations down ----

TEST(EntryStore, AppendToEmptyBook) {
    BookState s;
    AddResult r = append_entry(s, "t");
    EXPECT_EQ(r.index, 0);
    EXPECT_EQ(r.fault, TextFault::none);
    EXPECT_EQ(s.record_text, rec(""));
    EXPECT_EQ(items(s), (std::vector<std::pair<std::string, int>>{{"t", 1}}));
    EXPECT_EQ(s.entry_index.focused_index, 0);
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(append_entry(s, "u").index, 1);
    EXPECT_EQ(s.record_text, rec("") + rec(""));
    EXPECT_EQ(s.entry_index.focused_index, 0);
}

TEST(EntryStore, InsertBeforeFocusedEntryRenumbersTheRest) {
    struct Case {
        int focus;
        std::vector<std::pair<std::string, int>> items;
        std::string records;
    };
    const Case cases[] = {
        {0, {{"new", 1}, {"a", 2}, {"b", 3}, {"c", 4}}, rec("") + rec("A") + rec("B") + rec("C")},
        {2, {{"a", 1}, {"b", 2}, {"new", 3}, {"c", 4}}, rec("A") + rec("B") + rec("") + rec("C")},
    };
    for (const auto& c : cases) {
        BookState s = book(rec("A") + rec("B") + rec("C"), {"a", "b", "c"}, c.focus);
        EXPECT_EQ(insert_entry(s, "new").index, c.focus);
        EXPECT_EQ(items(s), c.items);
        EXPECT_EQ(s.record_text, c.records);
        EXPECT_EQ(s.entry_index.focused_index, c.focus);
        EXPECT_TRUE(s.modified);
    }
}

TEST(EntryStore, DeleteFocusedEntryKeepsFocusInPlace) {
    struct Case {
        int focus;
        std::vector<std::pair<std::string, int>> items;
        std::string records;
        int focus_after;
    };
    const Case cases[] = {
        {1, {{"a", 1}, {"c", 2}}, rec("A") + rec("C"), 1},
        {0, {{"b", 1}, {"c", 2}}, rec("B") + rec("C"), 0},
        {2, {{"a", 1}, {"b", 2}}, rec("A") + rec("B"), 1},  // the last: focus moves up
    };
    for (const auto& c : cases) {
        BookState s = book(rec("A") + rec("B") + rec("C"), {"a", "b", "c"}, c.focus);
        delete_entry(s);
        EXPECT_EQ(items(s), c.items);
        EXPECT_EQ(s.record_text, c.records);
        EXPECT_EQ(s.entry_index.focused_index, c.focus_after);
        EXPECT_TRUE(s.modified);
    }
    BookState only = book(rec("A"), {"a"}, 0);
    delete_entry(only);
    EXPECT_EQ(only.record_text, "");
    EXPECT_TRUE(only.entry_index.empty());
    EXPECT_EQ(only.entry_index.focused_index, -1);
    EXPECT_TRUE(only.modified);
}

TEST(EntryStore, EmptyListChangesNothingButStillCountsAsAChange) {
    BookState s;
    EXPECT_EQ(insert_entry(s, "t").index, -1);
    EXPECT_TRUE(s.modified);
    s.modified = false;
    delete_entry(s);
    EXPECT_TRUE(s.modified);
    s.modified = false;
    EXPECT_EQ(retitle_entry(s, "t"), TextFault::none);
    EXPECT_TRUE(s.modified);  // a non-empty title counts, though no item changes
    s.modified = false;
    retitle_entry(s, "");
    EXPECT_FALSE(s.modified);
    EXPECT_EQ(s.record_text, "");
    EXPECT_TRUE(s.entry_index.empty());
}

TEST(EntryStore, RetitleChangesOnlyTheFocusedTitle) {
    BookState s = book(rec("A") + rec("B"), {"a", "b"}, 1);
    retitle_entry(s, "b");
    EXPECT_FALSE(s.modified);  // the same title changes nothing
    retitle_entry(s, "B2");
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(items(s), (std::vector<std::pair<std::string, int>>{{"a", 1}, {"B2", 2}}));
    EXPECT_EQ(s.entry_index.focused_index, 1);
    EXPECT_EQ(s.record_text, rec("A") + rec("B"));
}

TEST(EntryStore, SplitAndJoinRecords) {
    std::string t = rec("abc") + rec("");
    auto pieces = split_records(t);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "\r\n" + HEAD + "abc");
    EXPECT_EQ(pieces[1], "\r\n" + HEAD);
    EXPECT_EQ(join_records(pieces), t);
    EXPECT_TRUE(split_records("").empty());
    EXPECT_EQ(join_records({}), "");
    EXPECT_EQ(join_records({"", "x"}), TAIL + "x" + TAIL);
}

TEST(EntryStore, FetchBody) {
    struct Case {
        std::string piece;
        bool found;
        std::string body;
    };
    const Case cases[] = {
        {"\r\n\r\n" + HEAD + "abc", true, "abc"},
        {"\r\n" + HEAD, true, ""},
        {"", false, ""},
        {"abc", false, ""},
        {"\r" + HEAD + "x", false, ""},                  // a lone CR is not dropped
        {"\r\n" + HEAD + HEAD + "x", true, HEAD + "x"},  // only the record's own head goes
    };
    for (const auto& c : cases) {
        BookState s = book(c.piece + TAIL, {"t"}, 0);
        FetchResult r = fetch_record_body(s, 1);
        EXPECT_TRUE(r.in_range);
        EXPECT_EQ(r.found, c.found) << c.piece;
        EXPECT_EQ(r.body, c.body) << c.piece;
        EXPECT_FALSE(s.modified);
    }
}

TEST(EntryStore, StoreBodyReplacesOnlyItsRecord) {
    BookState s = book(rec("A") + rec("B") + rec("C"), {"a", "b", "c"}, 0);
    StoreOutcome r = store_record_body(s, 2, "new " + HEAD + " body");
    EXPECT_EQ(r.result, StoreResult::stored);
    EXPECT_EQ(s.record_text, rec("A") + rec("new " + HEAD + " body") + rec("C"));
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(fetch_record_body(s, 2).body, "new " + HEAD + " body");
}

TEST(EntryStore, RecordNumberOutsideTheRecordsChangesNothing) {
    const std::string t = rec("A") + rec("B");
    for (std::int32_t k : {0, -1, 3, 1000, INT32_MIN, INT32_MAX}) {
        BookState s = book(t, {"a", "b"}, 0);
        FetchResult f = fetch_record_body(s, k);
        EXPECT_FALSE(f.in_range) << k;
        EXPECT_FALSE(f.found) << k;
        EXPECT_EQ(store_record_body(s, k, "x").result, StoreResult::no_record) << k;
        expect_same(s, book(t, {"a", "b"}, 0));
    }
    BookState empty;
    EXPECT_FALSE(fetch_record_body(empty, 1).in_range);
    EXPECT_EQ(store_record_body(empty, 1, "x").result, StoreResult::no_record);
    EXPECT_FALSE(empty.modified);
}

TEST(EntryStore, OpenLastFragmentIsClosedAtTheNextChange) {
    // A damaged file can leave the last piece without its "[尾]"; an
    // appended record must not be glued onto it.
    BookState s = book(rec("A") + "\r\n" + HEAD + "B", {"a", "b"}, 0);
    append_entry(s, "c");
    EXPECT_EQ(s.record_text, rec("A") + rec("B") + rec(""));
    EXPECT_EQ(fetch_record_body(s, 2).body, "B");
    EXPECT_EQ(fetch_record_body(s, 3).body, "");

    BookState t = book(rec("A") + "\r\n" + HEAD + "B", {"a", "b"}, 0);
    store_record_body(t, 1, "X");
    EXPECT_EQ(t.record_text, rec("X") + rec("B"));
}

TEST(EntryStore, DefaultTitleIsTheDateWithoutLeadingZeros) {
    // 2024年3月5日
    EXPECT_EQ(date_title(2024, 3, 5),
              "2024\xC4\xEA"
              "3\xD4\xC2"
              "5\xC8\xD5");
    EXPECT_EQ(date_title(1999, 12, 31),
              "1999\xC4\xEA"
              "12\xD4\xC2"
              "31\xC8\xD5");
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string today = default_title();
    std::string expected = date_title(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    if (today != expected) {  // midnight passed between the two readings
        localtime_r(&(now = std::time(nullptr)), &local);
        expected = date_title(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    }
    EXPECT_EQ(today, expected);
}

TEST(EntryStore, TrimCrlf) {
    EXPECT_EQ(trim_crlf("\r\n\r\nabc\r\n"), "abc");
    EXPECT_EQ(trim_crlf("abc\r"), "abc\r");
    EXPECT_EQ(trim_crlf("\r\n"), "");
    EXPECT_EQ(trim_crlf("\n\rabc"), "\n\rabc");
}

// ---- refusals ----

TEST(EntryStore, RefusedTitlesAndBodiesChangeNothing) {
    const std::string mark(texts::SECTION_MARK);
    struct Case {
        std::string text;
        TextFault title_fault;
        TextFault body_fault;
    };
    const Case cases[] = {
        {"a,b", TextFault::title_comma, TextFault::none},
        {"a\r\nb", TextFault::title_line_break, TextFault::none},
        {"a\rb", TextFault::title_line_break, TextFault::none},
        {"a\n", TextFault::title_line_break, TextFault::none},
        {"x" + mark + "y", TextFault::title_section_mark, TextFault::body_section_mark},
        {"a" + TAIL + "b", TextFault::none, TextFault::body_end_mark},
        {TAIL, TextFault::none, TextFault::body_end_mark},
        {std::string("a\0b", 3), TextFault::nul_byte, TextFault::nul_byte},
        {"abc\xB0", TextFault::incomplete_char, TextFault::incomplete_char},
        {"\xB0\xA1\xB0", TextFault::incomplete_char, TextFault::incomplete_char},
        // Not at a character start: the marks are hidden inside a character.
        {"\xB0"
         ",x",
         TextFault::none, TextFault::none},
        {"\xB0" + TAIL, TextFault::none, TextFault::none},
        {"\xB0\xA1\xB0" + TAIL, TextFault::none, TextFault::none},
        // Complete characters, even ones whose second byte is high.
        {"\xB0\xA1", TextFault::none, TextFault::none},
        {"ab\xB0\xA1\xB0\xA1", TextFault::none, TextFault::none},
        {HEAD + "\r\n", TextFault::title_line_break, TextFault::none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check_title(c.text), c.title_fault) << c.text;
        EXPECT_EQ(check_body(c.text), c.body_fault) << c.text;

        const BookState before = book(rec("A") + rec("B"), {"a", "b"}, 1);
        if (c.title_fault != TextFault::none) {
            BookState s = before;
            AddResult a = append_entry(s, c.text);
            EXPECT_EQ(a.fault, c.title_fault);
            EXPECT_EQ(a.index, -1);
            AddResult i = insert_entry(s, c.text);
            EXPECT_EQ(i.fault, c.title_fault);
            EXPECT_EQ(i.index, -1);
            EXPECT_EQ(retitle_entry(s, c.text), c.title_fault);
            expect_same(s, before);
        }
        if (c.body_fault != TextFault::none) {
            BookState s = before;
            StoreOutcome st = store_record_body(s, 1, c.text);
            EXPECT_EQ(st.result, StoreResult::refused);
            EXPECT_EQ(st.fault, c.body_fault);
            expect_same(s, before);
        }
    }
}

TEST(EntryStore, StoredBodiesReadBackWhole) {
    // Whatever a body holds once accepted, the records still split the same.
    const std::string bodies[] = {"[",  "[\xCE\xB2", "a[\xCE\xB2",         "\xB0\xA1]",
                                  HEAD, "\r\n",      "\xB0\xA1\xB0" + TAIL};
    for (const auto& body : bodies) {
        BookState s = book(rec("A") + rec("B"), {"a", "b"}, 0);
        ASSERT_EQ(store_record_body(s, 1, body).result, StoreResult::stored);
        EXPECT_EQ(split_records(s.record_text).size(), 2u);
        EXPECT_EQ(fetch_record_body(s, 1).body, body);
        EXPECT_EQ(fetch_record_body(s, 2).body, "B");
    }
}

TEST(EntryStore, EveryFaultHasItsMessage) {
    const std::pair<TextFault, std::string_view> messages[] = {
        {TextFault::none, ""},
        {TextFault::title_comma, texts::REFUSE_TITLE_COMMA},
        {TextFault::title_line_break, texts::REFUSE_TITLE_LINE_BREAK},
        {TextFault::title_section_mark, texts::REFUSE_TITLE_SECTION_MARK},
        {TextFault::body_end_mark, texts::REFUSE_BODY_END_MARK},
        {TextFault::body_section_mark, texts::REFUSE_BODY_SECTION_MARK},
        {TextFault::nul_byte, texts::REFUSE_NUL},
        {TextFault::incomplete_char, texts::REFUSE_INCOMPLETE_CHAR},
    };
    for (const auto& [fault, text] : messages) EXPECT_EQ(fault_message(fault), text);
}

// ---- the in-place edits give exactly what splitting and joining would ----

TEST(EntryStore, EditsInPlaceMatchSplitAndJoin) {
    auto check_all = [](const std::string& t) {
        const int c = static_cast<int>(naive_split(t).size());
        // Lists shorter and longer than the records too, as a file may hold.
        for (int m : {0, std::max(c - 1, 0), c, c + 2}) {
            std::vector<std::string> titles;
            for (int i = 0; i < m; ++i) titles.push_back("t" + std::to_string(i));
            for (int f = (m == 0 ? -1 : 0); f < m; ++f) {
                SCOPED_TRACE(::testing::Message() << "text " << ::testing::PrintToString(t)
                                                  << " items " << m << " focus " << f);
                BookState a = book(t, titles, f), b = a;
                append_entry(a, "n");
                ref_append(b, "n");
                expect_same(a, b);

                a = book(t, titles, f), b = a;
                insert_entry(a, "n");
                ref_insert(b, "n");
                expect_same(a, b);

                a = book(t, titles, f), b = a;
                delete_entry(a);
                ref_delete(b);
                expect_same(a, b);
            }
        }
        for (int k = -1; k <= c + 1; ++k) {
            SCOPED_TRACE(::testing::Message()
                         << "text " << ::testing::PrintToString(t) << " k " << k);
            BookState a = book(t, {}, -1), b = a;
            FetchResult fa = fetch_record_body(a, k), fb = ref_fetch(b, k);
            EXPECT_EQ(fa.in_range, fb.in_range);
            EXPECT_EQ(fa.found, fb.found);
            EXPECT_EQ(fa.body, fb.body);
            bool stored = store_record_body(a, k, "\xBA\xC3 body").result == StoreResult::stored;
            EXPECT_EQ(stored, ref_store(b, k, "\xBA\xC3 body"));
            expect_same(a, b);
        }
    };
    for (const auto& t : tricky_texts()) check_all(t);

    // Random texts built from the pieces that matter, long enough that the
    // word-at-a-time scanning takes part.
    const std::string parts[] = {TAIL,
                                 HEAD,
                                 "\r\n",
                                 "\xB0",
                                 "\xA1",
                                 "a",
                                 "[",
                                 "\xCE\xB2",
                                 "]",
                                 std::string(9, '\xC7'),
                                 std::string(16, 'z')};
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string t;
        int n = static_cast<int>(rng() % 24);
        for (int i = 0; i < n; ++i) t += parts[rng() % std::size(parts)];
        check_all(t);
        if (::testing::Test::HasFailure()) break;
    }
}

TEST(EntryStore, RenumberingStopsAtTheEndsOfTheRange) {
    // Numbers read from a damaged file may sit at the limits of 32 bits.
    BookState s = book("", {"a", "b"}, 0);
    s.entry_index.items[0].record_number = INT32_MAX;
    s.entry_index.items[1].record_number = INT32_MIN;
    insert_entry(s, "n");
    EXPECT_EQ(items(s), (std::vector<std::pair<std::string, int>>{
                            {"n", INT32_MAX}, {"a", INT32_MAX}, {"b", INT32_MIN + 1}}));
    s.entry_index.items[2].record_number = INT32_MIN;
    delete_entry(s);  // the new item, which holds the focus
    EXPECT_EQ(items(s),
              (std::vector<std::pair<std::string, int>>{{"a", INT32_MAX - 1}, {"b", INT32_MIN}}));
}
