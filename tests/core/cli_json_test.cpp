#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cli/json.h"
#include "text/codec.h"

using namespace dova;
using namespace dova::cli;

TEST(CliJson, ReadsStringsWithEveryEscape) {
    struct Case {
        const char* json;
        std::u32string want;
    } cases[] = {
        {R"("a\"b\\c\/d\b\f\n\r\t")", U"a\"b\\c/d\b\f\n\r\t"},
        {R"("\u65e5\u8BB0")", U"日记"},
        {R"("\ud83d\ude00 x")", U"\U0001F600 x"},               // a surrogate pair
        {"\"\xF0\x9F\x98\x80\"", U"\U0001F600"},                // the same in UTF-8
        {R"("\udc81\udcff")", std::u32string{0xDC81, 0xDCFF}},  // raw bytes
        {"\xEF\xBB\xBF \"bom\" ", U"bom"},
    };
    for (const auto& c : cases) {
        json::Value v;
        json::ParseError e;
        ASSERT_TRUE(json::parse(c.json, v, e)) << c.json << ": " << e.message;
        EXPECT_EQ(v.kind, json::Value::Kind::string);
        EXPECT_TRUE(v.string == c.want) << c.json;
    }
}

TEST(CliJson, ReadsTheOtherValues) {
    json::Value v;
    json::ParseError e;
    ASSERT_TRUE(json::parse(R"( {"a": [1, -0.5e+3, true, false, null, {}], "b": []} )", v, e))
        << e.message;
    const json::Value* a = v.find(U"a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->array.size(), 6u);
    EXPECT_EQ(a->array[1].number, "-0.5e+3");
    EXPECT_TRUE(a->array[2].boolean);
    EXPECT_EQ(a->array[4].kind, json::Value::Kind::null);
    EXPECT_EQ(v.find(U"b")->kind, json::Value::Kind::array);
    EXPECT_EQ(v.find(U"c"), nullptr);
}

TEST(CliJson, RefusesWhatIsNotStrictJson) {
    const std::string deep = std::string(100, '[') + std::string(100, ']');
    const char* cases[] = {
        "",
        "   ",
        "{",
        "{\"a\":1,}",
        "[1,]",
        "{'a':1}",
        "{\"a\" 1}",
        "{\"a\":1,\"a\":2}",  // the same key twice
        "01",
        "1.",
        "-",
        ".5",
        "1e",
        "tru",
        "nul",
        "[1] 2",
        "\"unterminated",
        "\"tab\tinside\"",
        "\"\\x\"",
        "\"\\u12\"",
        "\"\\ud83d\"",           // lone high surrogate
        "\"\\ud83d\\u0041\"",    // high surrogate without its low half
        "\"\\udc00\"",           // lone low surrogate that is not a raw byte
        "\"\xC3\"",              // cut UTF-8
        "\"\xC0\xAF\"",          // overlong
        "\"\xED\xA0\x80\"",      // surrogate in UTF-8
        "\"\xF4\x90\x80\x80\"",  // beyond U+10FFFF
        "\"\x80\"",
        deep.c_str(),
    };
    for (const char* c : cases) {
        json::Value v;
        json::ParseError e;
        EXPECT_FALSE(json::parse(c, v, e)) << c;
        EXPECT_FALSE(e.message.empty()) << c;
    }
}

TEST(CliJson, ErrorsNameLineAndColumn) {
    json::Value v;
    json::ParseError e;
    ASSERT_FALSE(json::parse("{\n  \"日\": tru\n}", v, e));
    EXPECT_EQ(e.line, 2u);
    EXPECT_EQ(e.column, 8u);
}

TEST(CliJson, QuotedGbkIsValidUtf8AndReadsBackToTheSameBytes) {
    EXPECT_EQ(json::quote_gbk(text::utf8_to_gbk("日记\"\\\r\n\x01😀")),
              "\"日记\\\"\\\\\\r\\n\\u0001😀\"");
    EXPECT_EQ(json::quote_gbk("a\x80z\xFF"), "\"a\\udc80z\\udcff\"");

    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 12, '\0');
        for (auto& b : bytes) b = static_cast<char>(rng() % 256);
        std::string quoted = json::quote_gbk(bytes);
        // Strict reading also proves the output is valid UTF-8.
        json::Value v;
        json::ParseError e;
        ASSERT_TRUE(json::parse(quoted, v, e)) << e.message;
        ASSERT_EQ(text::code_points_to_gbk(v.string), bytes);
    }
}
