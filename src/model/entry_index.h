// The entries of the open book as the list shows them: titles in display
// order, each with the number of its record in record_text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dova::model {

struct Entry {
    std::string title;           // GBK
    std::int32_t record_number;  // 1-based position of the entry's record
};

// The one source of truth for the list; the window shows a view over it.
struct EntryIndex {
    std::vector<Entry> items;
    // The list item that holds the keyboard focus (caret), or -1 when empty.
    int focused_index = -1;

    int size() const { return static_cast<int>(items.size()); }
    bool empty() const { return items.empty(); }
    void clear() {
        items.clear();
        focused_index = -1;
    }
};

}  // namespace dova::model
