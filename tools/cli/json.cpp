#include "cli/json.h"

#include <cstdint>

#include "text/codec.h"

namespace dova::cli::json {

const Value* Value::find(std::u32string_view key) const {
    auto it = object.find(std::u32string(key));
    return it == object.end() ? nullptr : &it->second;
}

namespace {

constexpr int kMaxDepth = 64;

class Reader {
  public:
    Reader(std::string_view t, ParseError& e) : t_(t), error_(e) {}

    bool document(Value& out) {
        if (t_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        skip_space();
        if (!value(out, 0)) return false;
        skip_space();
        if (pos_ != t_.size()) return fail("unexpected text after the value");
        return true;
    }

  private:
    bool fail(const char* message) {
        if (!error_.message.empty()) return false;
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < pos_ && i < t_.size(); ++i) {
            if (t_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(t_[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        error_ = {line, column, message};
        return false;
    }

    bool at_end() const { return pos_ >= t_.size(); }
    char peek() const { return at_end() ? '\0' : t_[pos_]; }

    void skip_space() {
        while (!at_end() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            ++pos_;
        }
    }

    bool literal(std::string_view word) {
        if (t_.substr(pos_, word.size()) != word) return fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool value(Value& out, int depth) {
        if (depth > kMaxDepth) return fail("nested too deeply");
        switch (peek()) {
            case '{':
                return object(out, depth);
            case '[':
                return array(out, depth);
            case '"':
                out.kind = Value::Kind::string;
                return string(out.string);
            case 't':
                out.kind = Value::Kind::boolean;
                out.boolean = true;
                return literal("true");
            case 'f':
                out.kind = Value::Kind::boolean;
                return literal("false");
            case 'n':
                out.kind = Value::Kind::null;
                return literal("null");
            default:
                if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return number(out);
                return fail(at_end() ? "unexpected end" : "expected a value");
        }
    }

    bool object(Value& out, int depth) {
        out.kind = Value::Kind::object;
        ++pos_;
        skip_space();
        if (peek() == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skip_space();
            if (peek() != '"') return fail("expected a key in quotes");
            std::u32string key;
            if (!string(key)) return false;
            skip_space();
            if (peek() != ':') return fail("expected ':'");
            ++pos_;
            skip_space();
            Value v;
            if (!value(v, depth + 1)) return false;
            if (!out.object.emplace(std::move(key), std::move(v)).second) {
                return fail("the same key twice");
            }
            skip_space();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                return true;
            }
            return fail("expected ',' or '}'");
        }
    }

    bool array(Value& out, int depth) {
        out.kind = Value::Kind::array;
        ++pos_;
        skip_space();
        if (peek() == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            skip_space();
            out.array.emplace_back();
            if (!value(out.array.back(), depth + 1)) return false;
            skip_space();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return true;
            }
            return fail("expected ',' or ']'");
        }
    }

    bool digits() {
        std::size_t start = pos_;
        while (peek() >= '0' && peek() <= '9') ++pos_;
        return pos_ > start;
    }

    bool number(Value& out) {
        out.kind = Value::Kind::number;
        std::size_t start = pos_;
        if (peek() == '-') ++pos_;
        if (peek() == '0') {
            ++pos_;
        } else if (!digits()) {
            return fail("bad number");
        }
        if (peek() == '.') {
            ++pos_;
            if (!digits()) return fail("bad number");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') ++pos_;
            if (!digits()) return fail("bad number");
        }
        out.number.assign(t_.substr(start, pos_ - start));
        return true;
    }

    bool hex4(std::uint32_t& v) {
        if (pos_ + 4 > t_.size()) return fail("short \\u escape");
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = t_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') {
                v |= static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                v |= static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                v |= static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                return fail("bad \\u escape");
            }
        }
        return true;
    }

    bool escape(std::u32string& out) {
        char c = peek();
        ++pos_;
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out.push_back(static_cast<char32_t>(c));
                return true;
            case 'b':
                out.push_back(U'\b');
                return true;
            case 'f':
                out.push_back(U'\f');
                return true;
            case 'n':
                out.push_back(U'\n');
                return true;
            case 'r':
                out.push_back(U'\r');
                return true;
            case 't':
                out.push_back(U'\t');
                return true;
            case 'u':
                break;
            default:
                return fail("bad escape");
        }
        std::uint32_t u = 0;
        if (!hex4(u)) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            std::uint32_t low = 0;
            if (t_.substr(pos_, 2) != "\\u") return fail("lone high surrogate");
            pos_ += 2;
            if (!hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return fail("lone high surrogate");
            out.push_back(static_cast<char32_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
            return true;
        }
        if (u >= 0xDC00 && u <= 0xDFFF && !text::is_byte_escape(static_cast<char32_t>(u))) {
            return fail("lone low surrogate");
        }
        out.push_back(static_cast<char32_t>(u));
        return true;
    }

    // One UTF-8 sequence, strictly: no overlong forms, no surrogates.
    bool utf8(std::u32string& out) {
        auto b = [&](std::size_t i) { return static_cast<unsigned char>(t_[pos_ + i]); };
        const unsigned char lead = b(0);
        std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (len == 0 || lead > 0xF4 || pos_ + len > t_.size()) return fail("invalid UTF-8");
        std::uint32_t cp = lead & (0x7F >> len);
        for (std::size_t i = 1; i < len; ++i) {
            if ((b(i) & 0xC0) != 0x80) return fail("invalid UTF-8");
            cp = cp << 6 | (b(i) & 0x3F);
        }
        static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return fail("invalid UTF-8");
        }
        pos_ += len;
        out.push_back(static_cast<char32_t>(cp));
        return true;
    }

    bool string(std::u32string& out) {
        ++pos_;  // the opening quote
        for (;;) {
            if (at_end()) return fail("unterminated string");
            auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20) return fail("control character in a string");
            if (c == '\\') {
                ++pos_;
                if (!escape(out)) return false;
            } else if (c < 0x80) {
                out.push_back(c);
                ++pos_;
            } else if (!utf8(out)) {
                return false;
            }
        }
    }

    std::string_view t_;
    std::size_t pos_ = 0;
    ParseError& error_;
};

}  // namespace

bool parse(std::string_view text, Value& out, ParseError& error) {
    error = {};
    out = {};
    return Reader(text, error).document(out);
}

std::string quote_gbk(std::string_view gbk) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    std::u32string run;
    auto flush = [&]() {
        out += text::code_points_to_utf8(run);
        run.clear();
    };
    for (char32_t c : text::gbk_to_code_points(gbk)) {
        const char* named = c == U'"'    ? "\\\""
                            : c == U'\\' ? "\\\\"
                            : c == U'\n' ? "\\n"
                            : c == U'\r' ? "\\r"
                            : c == U'\t' ? "\\t"
                            : c == U'\b' ? "\\b"
                            : c == U'\f' ? "\\f"
                                         : nullptr;
        if (named == nullptr && c >= 0x20 && !text::is_byte_escape(c)) {
            run.push_back(c);
            continue;
        }
        flush();
        if (named != nullptr) {
            out += named;
        } else {
            auto u = static_cast<std::uint32_t>(c);
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(u >> shift) & 0xF]);
        }
    }
    flush();
    out.push_back('"');
    return out;
}

}  // namespace dova::cli::json
