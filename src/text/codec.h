// Conversion between the program's GBK byte strings and Unicode, through
// GB18030 (the superset of GBK) in both directions.
//
// Lossless both ways: every Unicode scalar value has GB18030 bytes, and every
// byte that is not part of a valid GB18030 sequence (a lone lead byte, 0x80,
// 0xFF, ...) is carried as the lone surrogate U+DC00 + byte, which no valid
// text produces, and turned back into the same byte. So bytes -> Unicode ->
// bytes always gives the original bytes.
#pragma once

#include <string>
#include <string_view>

namespace dova::text {

// Code points; bytes that are not valid GB18030 become U+DC80..U+DCFF.
std::u32string gbk_to_code_points(std::string_view bytes);
// U+DC80..U+DCFF become their byte again; other surrogates and values that
// cannot be encoded become '?'.
std::string code_points_to_gbk(std::u32string_view cps);

// UTF-16 for the window: escaped bytes travel as lone surrogates.
std::u16string gbk_to_utf16(std::string_view bytes);
std::string utf16_to_gbk(std::u16string_view text);

// UTF-8 for terminals and files: an escaped byte is written as the raw byte
// itself (not valid UTF-8), and reading UTF-8 turns every byte that is not
// valid UTF-8 into that escape, so raw bytes survive both ways.
std::string gbk_to_utf8(std::string_view bytes);
std::string utf8_to_gbk(std::string_view utf8);

// Strict UTF-8 reading into code points (invalid bytes become U+DC80..U+DCFF)
// and writing (surrogates written as their raw byte when escapes, else U+FFFD).
std::u32string utf8_to_code_points(std::string_view utf8);
std::string code_points_to_utf8(std::u32string_view cps);

// Whether a code point is one of the escapes for a raw byte.
inline bool is_byte_escape(char32_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

}  // namespace dova::text
