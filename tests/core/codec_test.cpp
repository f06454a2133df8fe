#include "text/codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace dova::text;

namespace {

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int x : b) s.push_back(static_cast<char>(x));
    return s;
}

}  // namespace

TEST(Codec, EveryOneAndTwoByteStringSurvivesBytesToUnicodeAndBack) {
    for (int a = 0; a < 256; ++a) {
        std::string one = bytes({a});
        ASSERT_EQ(utf16_to_gbk(gbk_to_utf16(one)), one) << a;
        ASSERT_EQ(utf8_to_gbk(gbk_to_utf8(one)), one) << a;
        for (int b = 0; b < 256; ++b) {
            std::string two = bytes({a, b});
            ASSERT_EQ(utf16_to_gbk(gbk_to_utf16(two)), two) << a << " " << b;
        }
    }
}

TEST(Codec, FourByteSequencesSurvive) {
    // Every four-byte form of the basic plane and a stride over the others.
    for (int a = 0x81; a <= 0xFE; ++a) {
        for (int b = 0x30; b <= 0x39; ++b) {
            for (int c = 0x81; c <= 0xFE; ++c) {
                for (int d = 0x30; d <= 0x39; ++d) {
                    if (a > 0x84 && (c + d) % 7 != 0) continue;
                    std::string four = bytes({a, b, c, d});
                    ASSERT_EQ(utf16_to_gbk(gbk_to_utf16(four)), four) << a << b << c << d;
                }
            }
        }
    }
}

TEST(Codec, RandomByteStringsSurviveBothEncodings) {
    std::mt19937 rng(42);
    for (int round = 0; round < 2000; ++round) {
        std::string s(rng() % 40, '\0');
        for (char& c : s) c = static_cast<char>(rng() % 2 ? 0x80 + rng() % 128 : rng() % 256);
        ASSERT_EQ(utf16_to_gbk(gbk_to_utf16(s)), s);
        ASSERT_EQ(utf8_to_gbk(gbk_to_utf8(s)), s);
    }
}

TEST(Codec, TypedTextBecomesGb18030AndComesBack) {
    struct Case {
        std::u16string typed;
        std::string gbk;
    };
    const Case cases[] = {
        {u"abc", "abc"},
        {u"今天晴", "\xBD\xF1\xCC\xEC\xC7\xE7"},
        {u"€", "\xA2\xE3"},
        {u"😀", "\x94\x39\xFC\x36"},  // an emoji is its four GB18030 bytes
        {u"𠀀", "\x95\x32\x82\x36"},
        {u"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16_to_gbk(c.typed), c.gbk);
        EXPECT_EQ(gbk_to_utf16(c.gbk), c.typed);
    }
}

TEST(Codec, InvalidBytesTravelAsLoneSurrogates) {
    // 0x80 (the euro sign of old books), a lone lead byte and 0xFF.
    EXPECT_EQ(gbk_to_utf16(bytes({0x80})), std::u16string(1, char16_t(0xDC80)));
    EXPECT_EQ(gbk_to_utf16(bytes({'a', 0xB0})), (std::u16string{u'a', char16_t(0xDCB0)}));
    EXPECT_EQ(gbk_to_utf16(bytes({0xFF, 'x'})), (std::u16string{char16_t(0xDCFF), u'x'}));
    // A lead byte followed by a byte that cannot trail it: only the lead is escaped.
    EXPECT_EQ(gbk_to_utf16(bytes({0xB0, 0x7F})), (std::u16string{char16_t(0xDCB0), u'\x7F'}));
}

TEST(Codec, SurrogatesThatAreNotEscapesBecomeQuestionMarks) {
    EXPECT_EQ(utf16_to_gbk(std::u16string(1, char16_t(0xD800))), "?");
    EXPECT_EQ(utf16_to_gbk(std::u16string(1, char16_t(0xDC10))), "?");
}

TEST(Codec, Utf8RoundTripOfValidTextAndRawBytes) {
    EXPECT_EQ(utf8_to_gbk("第一天"), "\xB5\xDA\xD2\xBB\xCC\xEC");
    EXPECT_EQ(gbk_to_utf8("\xB5\xDA\xD2\xBB\xCC\xEC"), "第一天");
    EXPECT_EQ(utf8_to_gbk("\xF0\x9F\x98\x80"), "\x94\x39\xFC\x36");
    // Invalid UTF-8 is carried byte for byte.
    EXPECT_EQ(utf8_to_gbk(bytes({0xC3, 0x28})), bytes({0xC3, 0x28}));
}
