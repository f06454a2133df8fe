// Stub: replaced by the real book format.
#include "storage/book_format.h"
namespace dova::storage {
BuildResult build_book_text(const model::EntryIndex&, std::string_view) { return {}; }
ParseResult parse_book_text(std::string_view) { return {}; }
std::int64_t length_field(std::int64_t L) { return L; }
}  // namespace dova::storage
