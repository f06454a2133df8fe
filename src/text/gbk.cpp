#include "text/gbk.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace dova::text {
namespace {

// Word-at-a-time scanning below reads bytes in little-endian order.
static_assert(std::endian::native == std::endian::little);

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

inline std::uint64_t load64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// End of the run of bytes below 0x80 that starts at i (or n).
inline std::size_t skip_low(const unsigned char* s, std::size_t i, std::size_t n) {
    while (i + 8 <= n) {
        std::uint64_t hi = load64(s + i) & kHighBits;
        if (hi != 0) return i + static_cast<std::size_t>(__builtin_ctzll(hi) / 8);
        i += 8;
    }
    while (i < n && s[i] < 0x80) ++i;
    return i;
}

// End of the run of bytes of 0x80 or more that starts at i (or n).
inline std::size_t skip_high(const unsigned char* s, std::size_t i, std::size_t n) {
    while (i + 8 <= n) {
        std::uint64_t lo = ~load64(s + i) & kHighBits;
        if (lo != 0) return i + static_cast<std::size_t>(__builtin_ctzll(lo) / 8);
        i += 8;
    }
    while (i < n && s[i] >= 0x80) ++i;
    return i;
}

// Just after the last byte below 0x80 in [lo, hi), or lo when there is none.
inline std::size_t after_last_low(const unsigned char* s, std::size_t lo, std::size_t hi) {
    while (hi >= lo + 8) {
        std::uint64_t lo_bits = ~load64(s + hi - 8) & kHighBits;
        if (lo_bits != 0) return hi - static_cast<std::size_t>(__builtin_clzll(lo_bits) / 8);
        hi -= 8;
    }
    while (hi > lo && s[hi - 1] >= 0x80) --hi;
    return hi;
}

// memmem searches far faster than a first-byte scan when the first byte is
// common, as the lead byte of full-width punctuation is in Chinese text.
inline std::size_t find_bytes(std::string_view t, std::string_view sep, std::size_t pos) {
    if (pos > t.size()) return std::string_view::npos;
    const void* hit = ::memmem(t.data() + pos, t.size() - pos, sep.data(), sep.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - t.data())
               : std::string_view::npos;
}

}  // namespace

std::size_t next_char_start(std::string_view t, std::size_t from, std::size_t pos) {
    const auto* s = reinterpret_cast<const unsigned char*>(t.data());
    const std::size_t n = t.size();
    if (pos >= n) return pos;
    std::size_t b = from;
    while (b < pos) {
        if (s[b] < 0x80) {
            b = skip_low(s, b, pos);
            continue;
        }
        // A run of high bytes that starts at a character start pairs up from
        // its first byte; a low byte right after an odd run is a trail byte.
        std::size_t run_end = skip_high(s, b, n);
        if (pos <= run_end) {
            std::size_t off = pos - b;
            std::size_t start = b + off + (off & 1);
            return start > n ? n : start;
        }
        std::size_t len = run_end - b;
        b = run_end + (len & 1);
    }
    return b > n ? n : b;
}

std::size_t find_at_char_start(std::string_view t, std::string_view sep, std::size_t pos) {
    if (sep.empty()) return pos <= t.size() ? pos : std::string_view::npos;
    const auto* s = reinterpret_cast<const unsigned char*>(t.data());
    std::size_t boundary = pos;
    std::size_t cand = find_bytes(t, sep, pos);
    while (cand != std::string_view::npos) {
        // A byte below 0x80 always ends a character, so only the bytes after
        // the last such byte before the candidate need walking; the long
        // stretch the search skipped never does.
        boundary = next_char_start(t, after_last_low(s, boundary, cand), cand);
        if (boundary == cand) return cand;
        // cand was a trail byte; the next character starts at `boundary`.
        cand = find_bytes(t, sep, boundary);
    }
    return std::string_view::npos;
}

bool Splitter::next(std::string_view& piece) {
    if (pos_ >= t_.size()) return false;
    std::size_t hit = sep_.empty() ? std::string_view::npos : find_at_char_start(t_, sep_, pos_);
    if (hit == std::string_view::npos) {
        piece = t_.substr(pos_);
        pos_ = t_.size();
        return true;
    }
    piece = t_.substr(pos_, hit - pos_);
    pos_ = hit + sep_.size();
    return true;
}

std::vector<std::string_view> split(std::string_view t, std::string_view sep) {
    std::vector<std::string_view> pieces;
    Splitter sp(t, sep);
    std::string_view piece;
    while (sp.next(piece)) pieces.push_back(piece);
    return pieces;
}

std::size_t count_pieces(std::string_view t, std::string_view sep) {
    std::size_t count = 0;
    Splitter sp(t, sep);
    std::string_view piece;
    while (sp.next(piece)) ++count;
    return count;
}

}  // namespace dova::text
