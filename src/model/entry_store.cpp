// Stub: replaced by the real entry store.
#include "model/entry_store.h"
namespace dova::model {
TextFault check_title(std::string_view) { return TextFault::none; }
TextFault check_body(std::string_view) { return TextFault::none; }
std::string_view fault_message(TextFault) { return {}; }
std::vector<std::string_view> split_records(std::string_view) { return {}; }
std::string join_records(const std::vector<std::string_view>&) { return {}; }
std::string_view trim_crlf(std::string_view t) { return t; }
std::string default_title() { return {}; }
std::string date_title(int, int, int) { return {}; }
AddResult append_entry(BookState&, std::string_view) { return {}; }
AddResult insert_entry(BookState&, std::string_view) { return {}; }
void delete_entry(BookState&) {}
TextFault retitle_entry(BookState&, std::string_view) { return TextFault::none; }
FetchResult fetch_record_body(const BookState&, std::int32_t) { return {}; }
StoreOutcome store_record_body(BookState&, std::int32_t, std::string_view) { return {}; }
}  // namespace dova::model
