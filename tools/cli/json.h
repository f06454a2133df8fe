// A small strict JSON reader and the string writer the tool needs.
//
// Strings are held as code points. The lone surrogates U+DC80..U+DCFF stand
// for raw bytes that are not text (as the codec carries them), so they are
// accepted as "\udcXX" escapes and written back the same way; every other
// lone surrogate is an error.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dova::cli::json {

struct Value {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    bool boolean = false;
    std::string number;  // the number as written
    std::u32string string;
    std::vector<Value> array;
    std::map<std::u32string, Value> object;

    const Value* find(std::u32string_view key) const;
};

struct ParseError {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
};

// The one value the text holds (white space around it allowed, a leading
// UTF-8 byte-order mark skipped); false with `error` set otherwise.
bool parse(std::string_view text, Value& out, ParseError& error);

// A JSON string literal, quotes included, for text in GBK: UTF-8 out, with
// bytes that are not text written as "\udcXX".
std::string quote_gbk(std::string_view gbk);

}  // namespace dova::cli::json
