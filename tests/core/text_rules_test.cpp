#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/gbk.h"
#include "text/number.h"
#include "text/texts.h"
#include "text/trim.h"

using namespace dova::text;
using Pieces = std::vector<std::string>;

namespace {

Pieces owned(const std::vector<std::string_view>& views) {
    return {views.begin(), views.end()};
}

const std::string TAIL(dova::texts::RECORD_TAIL);  // [尾] = 5B CE B2 5D

// ---- the splitting rule ----

TEST(Splitting, PiecesAtSeparatorsThatBeginACharacter) {
    struct Case {
        std::string text;
        std::string sep;
        Pieces pieces;
    };
    const Case cases[] = {
        {"", ",", {}},
        {",", ",", {""}},
        {",,", ",", {"", ""}},
        {",a", ",", {"", "a"}},
        {"a,,b", ",", {"a", "", "b"}},
        {"a,b,", ",", {"a", "b"}},  // no empty piece after the last separator
        {"a,b", ",", {"a", "b"}},
        {"abc", ",", {"abc"}},
        // A lead byte takes the next byte whatever it is.
        {"\xB0,a", ",", {"\xB0,a"}},
        {"\xB0\xA1,a", ",", {"\xB0\xA1", "a"}},
        {"\xB0\xA1\xB0,a,b", ",", {"\xB0\xA1\xB0,a", "b"}},
        {"a,\xB0", ",", {"a", "\xB0"}},  // a lone lead byte at the end is a character
        {"\xB5\\a\\b", "\\", {"\xB5\\a", "b"}},
        {"\xB0\r\na\r\nb", "\r\n", {"\xB0\r\na", "b"}},
        // "[尾]" straddling a character: its "[" is the trail of the lead before it.
        {"\x81" + TAIL + "x", TAIL, {"\x81" + TAIL + "x"}},
        {"a\x81" + TAIL + TAIL, TAIL, {"a\x81" + TAIL}},
        {"\xB0\xA1" + TAIL + "x", TAIL, {"\xB0\xA1", "x"}},
        {TAIL + TAIL + "x" + TAIL, TAIL, {"", "", "x"}},
        {"[\xCE\xB2[" + TAIL, TAIL, {"[\xCE\xB2["}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(owned(split(c.text, c.sep)), c.pieces);
        EXPECT_EQ(count_pieces(c.text, c.sep), c.pieces.size());
    }
}

TEST(Splitting, CommaIsTheDefaultSeparator) {
    EXPECT_EQ(owned(split("a,b")), (Pieces{"a", "b"}));
}

TEST(Splitting, SplitterReportsWhereItStopped) {
    Splitter sp("ab,c,,d", ",");
    std::string_view piece;
    std::vector<std::size_t> ends;
    while (sp.next(piece)) ends.push_back(sp.position());
    EXPECT_EQ(ends, (std::vector<std::size_t>{3, 5, 6, 7}));
}

// ---- character starts, against a walk one character at a time ----

std::size_t naive_next_char_start(std::string_view t, std::size_t from, std::size_t pos) {
    std::size_t b = from;
    while (b < pos) b += char_length(t, b);
    return b;
}

std::size_t naive_find(std::string_view t, std::string_view sep, std::size_t pos) {
    for (std::size_t b = pos; b < t.size(); b += char_length(t, b)) {
        if (t.substr(b).starts_with(sep)) return b;
    }
    return std::string_view::npos;
}

// Runs of high bytes of every length (odd ones shift the pairing), low
// bytes, the separators' own bytes and whole separators.
std::string random_gbkish(std::mt19937& rng, std::size_t tokens) {
    std::string t;
    for (std::size_t i = 0; i < tokens; ++i) {
        switch (rng() % 7) {
            case 0:
                t.append(rng() % 40, static_cast<char>(0x81 + rng() % 0x7E));
                break;
            case 1:
                for (int n = static_cast<int>(rng() % 30); n > 0; --n) {
                    t.push_back(static_cast<char>(0x80 + rng() % 0x80));
                }
                break;
            case 2:
                t.append(rng() % 20, static_cast<char>('a' + rng() % 26));
                break;
            case 3:
                t += TAIL;
                break;
            case 4:
                t += ",";
                break;
            case 5:
                t += "[";
                break;
            default:
                t += "\xCE\xB2]\r\n";
                break;
        }
    }
    if (rng() % 3 == 0) t.push_back('\xB0');  // a lone lead byte at the end
    return t;
}

TEST(CharacterStarts, MatchAWalkOneCharacterAtATime) {
    std::mt19937 rng(2024);
    const std::string seps[] = {TAIL,   ",",        "[",
                                "\r\n", "\xCE\xB2", std::string(dova::texts::SECTION_MARK)};
    for (int round = 0; round < 400; ++round) {
        const std::size_t tokens = round < 300 ? rng() % 12 : 200 + rng() % 400;
        const std::string t = random_gbkish(rng, tokens);
        SCOPED_TRACE(::testing::Message() << "round " << round << " size " << t.size());

        // Every character start along the text, to start scans from.
        std::vector<std::size_t> starts;
        for (std::size_t b = 0; b < t.size(); b += char_length(t, b)) starts.push_back(b);
        starts.push_back(t.size());

        const std::size_t step = t.size() > 300 ? 1 + rng() % 13 : 1;
        for (std::size_t pos = 0; pos <= t.size(); pos += step) {
            std::size_t from = starts[rng() % starts.size()];
            if (from > pos) from = 0;
            ASSERT_EQ(next_char_start(t, from, pos), naive_next_char_start(t, from, pos))
                << "from " << from << " pos " << pos;
        }
        for (const auto& sep : seps) {
            for (int k = 0; k < 8; ++k) {
                std::size_t pos = starts[rng() % starts.size()];
                ASSERT_EQ(find_at_char_start(t, sep, pos), naive_find(t, sep, pos))
                    << "pos " << pos << " sep " << ::testing::PrintToString(sep);
            }
            std::vector<std::string_view> pieces;
            std::size_t b = 0;
            while (b < t.size()) {
                std::size_t hit = naive_find(t, sep, b);
                if (hit == std::string_view::npos) {
                    pieces.push_back(std::string_view(t).substr(b));
                    break;
                }
                pieces.push_back(std::string_view(t).substr(b, hit - b));
                b = hit + sep.size();
            }
            ASSERT_EQ(split(t, sep), pieces) << ::testing::PrintToString(sep);
        }
    }
}

TEST(CharacterStarts, LongRunsOfHighBytesKeepTheirPairing) {
    // Word-at-a-time skipping must count odd and even runs alike.
    for (std::size_t run = 0; run < 40; ++run) {
        std::string t = "ab" + std::string(run, '\xC7') + TAIL + "x";
        std::size_t expected = run % 2 == 0 ? 2 + run : std::string::npos;
        EXPECT_EQ(find_at_char_start(t, TAIL), expected) << run;
        EXPECT_EQ(next_char_start(t, 0, 2 + run), 2 + run + run % 2) << run;
    }
}

// ---- reading numbers ----

TEST(ReadNumber, AsTheLengthFieldAndRecordNumbersAreRead) {
    constexpr auto max64 = std::numeric_limits<std::int64_t>::max();
    constexpr auto min64 = std::numeric_limits<std::int64_t>::min();
    struct Case {
        std::string text;
        std::int64_t value;
    };
    const Case cases[] = {
        {"123", 123},
        {"007", 7},
        {"\r\n117\r\n", 117},
        {" \t\r\n\v\f42", 42},
        {"-5", -5},
        {"+5", 5},
        {"12abc", 12},
        {"1 2", 1},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"- 5", 0},
        {"+-3", 0},
        {"0x10", 0},
        // Full-width digits, signs and the full-width blank count as ASCII.
        {"\xA3\xB1\xA3\xB2", 12},
        {"\xA3\xAD\xA3\xB5", -5},
        {"\xA1\xA1\xA3\xAB\xA3\xB9", 9},
        {"\xA1\xA1"
         "7\xA3\xB0x",
         70},
        {"\xA3", 0},  // a lone lead byte is no digit
        {"5\xB0"
         "1",
         5},  // B0 31 is one character, not the digit 1
        {"\xB0"
         "1",
         0},
        {"9223372036854775807", max64},
        {"9223372036854775808", max64},
        {"99999999999999999999999", max64},
        {"-9223372036854775808", min64},
        {"-99999999999999999999999", min64},
    };
    for (const auto& c : cases) EXPECT_EQ(read_number(c.text), c.value) << c.text;
}

TEST(ReadNumber, ThirtyTwoBitsSaturate) {
    EXPECT_EQ(read_number32("2147483647"), INT32_MAX);
    EXPECT_EQ(read_number32("2147483648"), INT32_MAX);
    EXPECT_EQ(read_number32("-2147483648"), INT32_MIN);
    EXPECT_EQ(read_number32("-2147483649"), INT32_MIN);
    EXPECT_EQ(read_number32("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(read_number32(" 3,"), 3);
}

// ---- trimming ----

TEST(Trim, CrlfPairsOnly) {
    struct Case {
        std::string text, trimmed;
    };
    const Case cases[] = {
        {"\r\n\r\nabc\r\n", "abc"},
        {"abc\r", "abc\r"},
        {"\r\n", ""},
        {"\r\n\r\n", ""},
        {"\r\r\n", "\r"},
        {"\n\r\nabc", "\n\r\nabc"},
        {"\n\rabc\n\r", "\n\rabc\n\r"},
        {"a\r\nb", "a\r\nb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trim_crlf(c.text), c.trimmed) << ::testing::PrintToString(c.text);
    }
}

TEST(Trim, TrailingBlanksNeverSplitACharacter) {
    struct Case {
        std::string text, trimmed;
    };
    const Case cases[] = {
        {"", ""},
        {"   ", ""},
        {"abc   ", "abc"},
        {"abc\xA1\xA1", "abc"},
        {"abc \xA1\xA1 \xA1\xA1", "abc"},
        {" a b ", " a b"},
        {"abc\t ", "abc\t"},
        {"abc\r\n ", "abc\r\n"},
        // B0 A1 is one character; the A1 after it stands alone.
        {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        {"\xB0\xA1\xA1\xA1\xA1", "\xB0\xA1\xA1\xA1\xA1"},
        {"\xA1\xA1\xA1", "\xA1\xA1\xA1"},
        // B0 20 is one character, not a blank.
        {"x\xB0 ", "x\xB0 "},
        {"x\xB0  ", "x\xB0 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trim_trailing_blanks(c.text), c.trimmed) << ::testing::PrintToString(c.text);
    }
}

}  // namespace
