#include "text/number.h"

#include <limits>

#include "text/gbk.h"

namespace dova::text {

namespace {

// The half-width form of the character at i (0 when it has none), and its length.
inline char half_width_at(std::string_view t, std::size_t i, std::size_t& len) {
    len = char_length(t, i);
    auto a = static_cast<unsigned char>(t[i]);
    if (len == 1) return a < 0x80 ? static_cast<char>(a) : 0;
    auto b = static_cast<unsigned char>(t[i + 1]);
    if (a == 0xA3 && b >= 0xA1 && b <= 0xFE) return static_cast<char>(b - 0x80);
    if (a == 0xA1 && b == 0xA1) return ' ';
    if (a == 0xA1 && b == 0xAB) return '~';
    if (a == 0xA1 && (b == 0xEE || b == 0xEF)) return '*';
    return 0;
}

}  // namespace

std::int64_t read_number(std::string_view t) {
    // Characters are made half-width one at a time, so the scan stops at the
    // first character that ends the number, however long the text.
    std::size_t i = 0;
    std::size_t len = 0;
    char c = 0;
    auto peek = [&]() {
        c = i < t.size() ? half_width_at(t, i, len) : 0;
        return c;
    };
    while (peek() == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') i += len;
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        i += len;
        peek();
    }
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    std::uint64_t value = 0;
    bool saturated = false;
    while (c >= '0' && c <= '9') {
        std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (!saturated && value > (static_cast<std::uint64_t>(kMax) - digit) / 10) saturated = true;
        if (!saturated) value = value * 10 + digit;
        i += len;
        peek();
    }
    if (saturated) return negative ? std::numeric_limits<std::int64_t>::min() : kMax;
    return negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
}

std::int32_t read_number32(std::string_view t) {
    std::int64_t v = read_number(t);
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace dova::text
