#include "storage/book_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/codec.h"
#include "text/texts.h"

using namespace dova;
using namespace dova::storage;
using model::TextFault;

namespace {

// Test texts are written readable in UTF-8 and turned into the GBK the book holds.
std::string G(std::string_view utf8) {
    return text::utf8_to_gbk(utf8);
}

model::EntryIndex index_of(std::vector<model::Entry> items) {
    model::EntryIndex index;
    index.items = std::move(items);
    index.focused_index = index.items.empty() ? -1 : 0;
    return index;
}

// A book text with the given length field and middle sections, as a damaged
// or hand-made file might hold it.
std::string book(std::string_view n, std::string_view index, std::string_view records,
                 std::string_view end = "\r\n[结束]") {
    return G("校验密码用文本\r\n【分割用文本】\r\n") + std::string(n) + G("\r\n【分割用文本】") +
           G(index) + G("\r\n【分割用文本】") + G(records) + G("\r\n【分割用文本】") + G(end);
}

// The same with the right length field.
std::string sound_book(std::string_view index, std::string_view records) {
    std::string draft = book("", index, records);
    auto n = length_field(static_cast<std::int64_t>(draft.size()) - 32);
    return book(std::to_string(n), index, records);
}

}  // namespace

TEST(BookFormat, EmptyBookIsNinetyBytesAndReadsAsNoEntries) {
    BuildResult b = build_book_text(index_of({}), "");
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.text, G("校验密码用文本\r\n【分割用文本】\r\n90\r\n【分割用文本】\r\n【分割用文本】"
                        "\r\n【分割用文本】\r\n[结束]"));
    EXPECT_EQ(b.text.size(), 90u);
    EXPECT_EQ(parse_book_text(b.text).outcome, ParseOutcome::no_entries);
}

TEST(BookFormat, OneEntryBookIsExactAndReadsBack) {
    const std::string record = G("\r\n[头]今天晴[尾]");
    BuildResult b = build_book_text(index_of({{G("第一天"), 1}}), record);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.text, G("校验密码用文本\r\n【分割用文本】\r\n117\r\n【分割用文本】\r\n第一天,1"
                        "\r\n【分割用文本】\r\n[头]今天晴[尾]\r\n【分割用文本】\r\n[结束]"));
    EXPECT_EQ(b.text.size(), 117u);

    ParseResult p = parse_book_text(b.text);
    ASSERT_EQ(p.outcome, ParseOutcome::entries);
    ASSERT_EQ(p.entries.size(), 1u);
    EXPECT_EQ(p.entries[0].title, G("第一天"));
    EXPECT_EQ(p.entries[0].record_number, 1);
    EXPECT_EQ(p.record_text, record);
}

TEST(BookFormat, LengthFieldCountsItsOwnDigits) {
    struct Case {
        std::int64_t L, n;
    } cases[] = {{0, 34},   {56, 90},   {65, 99},   {66, 101},
                 {67, 102}, {963, 998}, {964, 999}, {965, 1001}};
    for (auto c : cases) EXPECT_EQ(length_field(c.L), c.n) << c.L;
    // Everywhere: the field is exactly 32 + its digits + L.
    for (std::int64_t L = 0; L < 200000; ++L) {
        std::int64_t n = length_field(L);
        ASSERT_EQ(n, 32 + static_cast<std::int64_t>(std::to_string(n).size()) + L) << L;
    }
}

TEST(BookFormat, BuiltBooksReadBack) {
    struct Case {
        const char* name;
        std::vector<model::Entry> items;
        std::string records;
        std::string records_read;  // trailing line breaks are not kept
    } cases[] = {
        {"empty title", {{"", 1}}, G("\r\n[头]x[尾]"), G("\r\n[头]x[尾]")},
        {"gaps and repeats", {{"a", 7}, {"b", 7}, {"c", -3}}, G("\r\n[头][尾]"), G("\r\n[头][尾]")},
        {"empty record text", {{"t", 1}}, "", ""},
        {"trailing line breaks", {{"t", 1}}, G("\r\n[头]x[尾]\r\n\r\n"), G("\r\n[头]x[尾]")},
        {"lone CR stays", {{"t", 1}}, G("\r\n[头]x[尾]\r"), G("\r\n[头]x[尾]\r")},
        // The mark's bytes after a lead byte are a character's tail, not a mark.
        {"mark bytes inside a character",
         {{G("甲"), 1}},
         "\x81" + G("【分割用文本】"),
         "\x81" + G("【分割用文本】")},
        {"four-byte characters", {{G("日记😀"), 1}}, G("\r\n[头]😀[尾]"), G("\r\n[头]😀[尾]")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BuildResult b = build_book_text(index_of(c.items), c.records);
        ASSERT_TRUE(b.ok);
        EXPECT_EQ(b.text.size(), static_cast<std::size_t>(std::stoll(b.text.substr(32))));
        ParseResult p = parse_book_text(b.text);
        ASSERT_EQ(p.outcome, ParseOutcome::entries);
        ASSERT_EQ(p.entries.size(), c.items.size());
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            EXPECT_EQ(p.entries[i].title, c.items[i].title);
            EXPECT_EQ(p.entries[i].record_number, c.items[i].record_number);
        }
        EXPECT_EQ(p.record_text, c.records_read);
    }
}

TEST(BookFormat, BuildRefusesTextsThatWouldReadBackWrong) {
    const std::string ok_record = G("\r\n[头][尾]");
    struct Case {
        const char* name;
        std::string title;
        std::string records;
        TextFault fault;
    } cases[] = {
        {"comma in title", "a,b", ok_record, TextFault::title_comma},
        {"line break in title", "a\r\nb", ok_record, TextFault::title_line_break},
        {"mark in title", G("x【分割用文本】"), ok_record, TextFault::title_section_mark},
        {"mark in records", "t", G("\r\n[头]【分割用文本】[尾]"), TextFault::body_section_mark},
        {"zero byte in records", "t", std::string("\r\n\0x", 4), TextFault::nul_byte},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BuildResult b = build_book_text(index_of({{"first", 1}, {c.title, 2}}), c.records);
        EXPECT_FALSE(b.ok);
        EXPECT_EQ(b.fault, c.fault);
        EXPECT_TRUE(b.text.empty());
    }
}

TEST(BookFormat, DamagedTextsEndInOneOfTheOutcomes) {
    const std::string good = sound_book("\r\n甲,1", "\r\n[头]x[尾]");
    struct Case {
        const char* name;
        std::string text;
        ParseOutcome outcome;
    } cases[] = {
        {"empty", "", ParseOutcome::no_check_text},
        {"check text cut short", G("校验密码用文本").substr(0, 13), ParseOutcome::no_check_text},
        {"wrong first bytes", "x" + good, ParseOutcome::no_check_text},
        {"check text alone", G("校验密码用文本"), ParseOutcome::bad_layout},
        {"check text and a trailing mark", G("校验密码用文本【分割用文本】"),
         ParseOutcome::bad_layout},
        {"bytes after the end are ignored", good + G("【分割用文本】junk") + std::string(5000, 'z'),
         ParseOutcome::entries},
        {"length field one short",
         book(std::to_string(good.size() - 1), "\r\n甲,1", "\r\n[头]x[尾]"),
         ParseOutcome::bad_layout},
        {"length field beyond the text", book("99999999999", "\r\n甲,1", "x"),
         ParseOutcome::entries},
        {"length field zero", book("0", "\r\n甲,1", "x"), ParseOutcome::bad_layout},
        {"length field negative", book("-5", "\r\n甲,1", "x"), ParseOutcome::bad_layout},
        {"length field full-width", book(G("９９９９"), "\r\n甲,1", "x"), ParseOutcome::entries},
        {"length field missing", book("", "\r\n甲,1", "x"), ParseOutcome::bad_layout},
        {"truncated text", good.substr(0, good.size() - 3), ParseOutcome::bad_layout},
        {"mark in the records", book("9999", "\r\n甲,1", "a【分割用文本】b"),
         ParseOutcome::bad_layout},
        {"no end mark", book("9999", "\r\n甲,1", "x", "\r\n[结]"), ParseOutcome::bad_layout},
        {"index section only a line break", book("9999", "", "x"), ParseOutcome::no_entries},
        {"index section of two empty lines", book("9999", "\r\n", "x"), ParseOutcome::entries},
        {"index one line without a line break", book("9999", "甲,1", "x"),
         ParseOutcome::no_entries},
        {"index lines that all fail", book("9999", "\r\na,b,c\r\nd", "x"), ParseOutcome::entries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse_book_text(c.text).outcome, c.outcome);
        std::string owned = c.text;
        ParseResult p = parse_owned_book_text(std::move(owned));
        EXPECT_EQ(p.outcome, c.outcome);
        if (p.outcome != ParseOutcome::entries) {
            EXPECT_TRUE(p.entries.empty());
            EXPECT_TRUE(p.record_text.empty());
        }
    }
}

TEST(BookFormat, IndexLinesAreReadOneByOne) {
    ParseResult p = parse_book_text(
        book("9999", "\r\n\r\n第一,1\r\na,b,3\r\n,4\r\n尾逗号,5,\r\n２３\r\nx,７abc\r\ny,-2",
             "\r\n[头]r[尾]\r\n"));
    ASSERT_EQ(p.outcome, ParseOutcome::entries);
    struct Want {
        std::string title;
        std::int32_t number;
    } want[] = {{G("第一"), 1}, {"", 4}, {G("尾逗号"), 5}, {"x", 7}, {"y", -2}};
    ASSERT_EQ(p.entries.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(p.entries[i].title, want[i].title) << i;
        EXPECT_EQ(p.entries[i].record_number, want[i].number) << i;
    }
    EXPECT_EQ(p.record_text, G("\r\n[头]r[尾]"));
}

TEST(BookFormat, OwnedParseGivesTheSameRecordText) {
    const std::string text = sound_book("\r\n甲,1\r\n乙,2", "\r\n[头]一[尾]\r\n[头]二[尾]\r\n");
    ParseResult a = parse_book_text(text);
    ParseResult b = parse_owned_book_text(std::string(text));
    ASSERT_EQ(a.outcome, ParseOutcome::entries);
    EXPECT_EQ(b.outcome, ParseOutcome::entries);
    EXPECT_EQ(b.record_text, a.record_text);
    EXPECT_EQ(b.record_text, G("\r\n[头]一[尾]\r\n[头]二[尾]"));
    EXPECT_EQ(b.entries.size(), 2u);
}
