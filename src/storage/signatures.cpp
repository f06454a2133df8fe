// Stub: replaced by the generated pictures.
#include "storage/signatures.h"
namespace dova::storage {
const std::string_view BOOK_SIGNATURE = "B";
const std::string_view PASSWORD_BOOK_SIGNATURE = "P";
}  // namespace dova::storage
