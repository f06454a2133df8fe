#include "text/codec.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

namespace dova::text {
namespace {

constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
constexpr char32_t kReplacement = 0xFFFD;

// One converter per direction and thread, opened on first use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

Converter& decoder() {
    thread_local Converter c(kUtf32, "GB18030");
    return c;
}

Converter& encoder() {
    thread_local Converter c("GB18030", kUtf32);
    return c;
}

// Encodes a run of code points that holds no surrogates.
void encode_run(std::u32string_view run, std::string& out) {
    Converter& enc = encoder();
    if (!enc.ok()) {
        for (char32_t c : run) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return;
    }
    iconv(enc.get(), nullptr, nullptr, nullptr, nullptr);
    auto* in = reinterpret_cast<char*>(const_cast<char32_t*>(run.data()));
    std::size_t in_left = run.size() * sizeof(char32_t);
    std::size_t start = out.size();
    out.resize(start + run.size() * 4);  // GB18030 needs at most 4 bytes a code point
    char* o = out.data() + start;
    std::size_t out_left = run.size() * 4;
    while (in_left > 0) {
        std::size_t r = iconv(enc.get(), &in, &in_left, &o, &out_left);
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == EILSEQ || errno == EINVAL) {
            // A value with no GB18030 bytes (beyond U+10FFFF): a question mark.
            *o++ = '?';
            --out_left;
            in += sizeof(char32_t);
            in_left -= sizeof(char32_t);
            iconv(enc.get(), nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        break;
    }
    iconv(enc.get(), nullptr, nullptr, &o, &out_left);
    out.resize(static_cast<std::size_t>(o - out.data()));
}

}  // namespace

std::u32string gbk_to_code_points(std::string_view bytes) {
    std::u32string out(bytes.size(), U'\0');
    Converter& dec = decoder();
    char32_t* o32 = out.data();
    if (!dec.ok()) {
        for (unsigned char b : bytes) *o32++ = b < 0x80 ? b : 0xDC00 + b;
        out.resize(static_cast<std::size_t>(o32 - out.data()));
        return out;
    }
    iconv(dec.get(), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    char* o = reinterpret_cast<char*>(out.data());
    std::size_t out_left = out.size() * sizeof(char32_t);
    while (in_left > 0) {
        std::size_t r = iconv(dec.get(), &in, &in_left, &o, &out_left);
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // Not a valid sequence here: carry this one byte as its escape and
        // go on with the next byte.
        char32_t esc = 0xDC00 + static_cast<unsigned char>(*in);
        std::memcpy(o, &esc, sizeof esc);
        o += sizeof esc;
        out_left -= sizeof esc;
        ++in;
        --in_left;
        iconv(dec.get(), nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(static_cast<std::size_t>(o - reinterpret_cast<char*>(out.data())) /
               sizeof(char32_t));
    return out;
}

std::string code_points_to_gbk(std::u32string_view cps) {
    std::string out;
    out.reserve(cps.size() * 2);
    std::size_t run_start = 0;
    for (std::size_t i = 0; i <= cps.size(); ++i) {
        bool end = i == cps.size();
        char32_t c = end ? 0 : cps[i];
        bool special = !end && ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF);
        if (!end && !special) continue;
        if (i > run_start) encode_run(cps.substr(run_start, i - run_start), out);
        if (special) out.push_back(is_byte_escape(c) ? static_cast<char>(c - 0xDC00) : '?');
        run_start = i + 1;
    }
    return out;
}

std::u16string gbk_to_utf16(std::string_view bytes) {
    std::u32string cps = gbk_to_code_points(bytes);
    std::u16string out;
    out.reserve(cps.size());
    for (char32_t c : cps) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string utf16_to_gbk(std::u16string_view text) {
    std::u32string cps;
    cps.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        cps.push_back(c);  // a lone surrogate stays as it is: an escape or a '?'
    }
    return code_points_to_gbk(cps);
}

std::u32string utf8_to_code_points(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        unsigned char b = p[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        std::size_t len = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2, c = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3, c = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4, c = b & 0x07, min = 0x10000;
        }
        bool valid = len > 0 && i + len <= n;
        for (std::size_t k = 1; valid && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        valid = valid && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (valid) {
            out.push_back(c);
            i += len;
        } else {
            out.push_back(0xDC00 + b);
            ++i;
        }
    }
    return out;
}

std::string code_points_to_utf8(std::u32string_view cps) {
    std::string out;
    out.reserve(cps.size() * 3);
    for (char32_t c : cps) {
        if (is_byte_escape(c)) {
            out.push_back(static_cast<char>(c - 0xDC00));
            continue;
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string gbk_to_utf8(std::string_view bytes) {
    return code_points_to_utf8(gbk_to_code_points(bytes));
}

std::string utf8_to_gbk(std::string_view utf8) {
    return code_points_to_gbk(utf8_to_code_points(utf8));
}

}  // namespace dova::text
