#include "text/trim.h"

#include "text/gbk.h"

namespace dova::text {

std::string_view trim_crlf(std::string_view t) {
    while (t.size() >= 2 && t.ends_with("\r\n")) t.remove_suffix(2);
    while (t.size() >= 2 && t.starts_with("\r\n")) t.remove_prefix(2);
    return t;
}

std::string_view trim_trailing_blanks(std::string_view t) {
    std::size_t keep = 0;  // length up to the end of the last non-blank character
    for (std::size_t i = 0; i < t.size();) {
        std::size_t len = char_length(t, i);
        bool blank =
            (len == 1 && t[i] == ' ') || (len == 2 && static_cast<unsigned char>(t[i]) == 0xA1 &&
                                          static_cast<unsigned char>(t[i + 1]) == 0xA1);
        i += len;
        if (!blank) keep = i;
    }
    return t.substr(0, keep);
}

}  // namespace dova::text
