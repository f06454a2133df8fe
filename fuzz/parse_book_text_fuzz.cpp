// Any text given to the book reader ends in one of its outcomes, without a
// crash, a hang or a read out of bounds; the owning reader agrees with the
// viewing one; and a book rebuilt from what was read reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/book_format.h"
#include "text/number.h"

using namespace dova;
using namespace dova::storage;

namespace {

bool same(const ParseResult& a, const ParseResult& b) {
    if (a.outcome != b.outcome || a.record_text != b.record_text) return false;
    if (a.entries.size() != b.entries.size()) return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        if (a.entries[i].title != b.entries[i].title ||
            a.entries[i].record_number != b.entries[i].record_number) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ParseResult viewed = parse_book_text(text);
    ParseResult owned = parse_owned_book_text(std::string(text));
    if (!same(viewed, owned)) std::abort();

    if (viewed.outcome == ParseOutcome::entries && !viewed.entries.empty()) {
        model::EntryIndex index;
        for (const auto& e : viewed.entries) index.items.push_back({e.title, e.record_number});
        BuildResult rebuilt = build_book_text(index, viewed.record_text);
        if (rebuilt.ok) {
            // The length field names the whole text.
            if (text::read_number(std::string_view(rebuilt.text).substr(32)) !=
                static_cast<std::int64_t>(rebuilt.text.size())) {
                std::abort();
            }
            if (!same(parse_book_text(rebuilt.text), viewed)) std::abort();
        }
    }
    return 0;
}
