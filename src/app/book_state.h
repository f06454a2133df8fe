// The program-wide state of the open book.
#pragma once

#include <string>
#include <vector>

#include "model/entry_index.h"

namespace dova {

struct BookState {
    std::string record_text;             // every record, one after another (GBK)
    model::EntryIndex entry_index;       // the list's items, in display order
    std::string editor_baseline;         // body in the editor as loaded or last stored
    std::string book_password;           // GBK; may be empty
    std::vector<std::string> path_list;  // first element: the open book's path (platform encoding)
    bool modified = false;
    std::string feedback_address;
};

}  // namespace dova
