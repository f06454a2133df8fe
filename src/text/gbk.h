// GBK character scanning and the one splitting rule shared by the book
// format, the records, password books and every other caller.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dova::text {

// A byte of 0x80 or more starts a two-byte character (a lone lead byte at the
// very end counts as one character); any other byte is a character by itself.
inline std::size_t char_length(std::string_view t, std::size_t i) {
    return (static_cast<unsigned char>(t[i]) >= 0x80 && i + 1 < t.size()) ? 2 : 1;
}

// The first character start at or after `pos`, given that `from` (<= pos) is
// a character start. Skips runs of bytes a machine word at a time.
std::size_t next_char_start(std::string_view t, std::size_t from, std::size_t pos);

// Finds `sep` where a character begins, searching from `pos`, which must be a
// character start. Returns npos when there is none.
std::size_t find_at_char_start(std::string_view t, std::string_view sep, std::size_t pos = 0);

// Whether `sep` occurs anywhere in `t` at a character start.
inline bool contains(std::string_view t, std::string_view sep) {
    return find_at_char_start(t, sep) != std::string_view::npos;
}

// Walks the pieces of `t` split at `sep` without copying: each occurrence ends
// a piece (empty ones too); the rest after the last occurrence is a piece only
// when it is not empty; an empty text gives no pieces.
class Splitter {
  public:
    Splitter(std::string_view t, std::string_view sep) : t_(t), sep_(sep) {}
    // Sets `piece` to the next piece and returns true, or returns false at the end.
    bool next(std::string_view& piece);
    // Byte offset just after the last piece returned (after its separator, if any).
    std::size_t position() const { return pos_; }

  private:
    std::string_view t_;
    std::string_view sep_;
    std::size_t pos_ = 0;
};

// All pieces at once, as views into `t`.
std::vector<std::string_view> split(std::string_view t, std::string_view sep = ",");

// Counts the pieces that split() would give, without building them.
std::size_t count_pieces(std::string_view t, std::string_view sep);

}  // namespace dova::text
