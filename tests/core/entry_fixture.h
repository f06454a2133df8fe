// A small book driven through the scripted window, for the entry command and
// editor tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/book_state.h"
#include "support/scripted_window.h"
#include "text/texts.h"
#include "ui/window.h"

namespace dova::testing {

// The record of one entry as the book keeps it.
inline std::string record(std::string_view body) {
    return "\r\n" + std::string(texts::RECORD_HEAD) + std::string(body) +
           std::string(texts::RECORD_TAIL);
}

class EntryTest : public ::testing::Test {
  protected:
    BookState s;
    ScriptedWindow w{&s};

    // The window as start-up leaves it: the list view at its size.
    EntryTest() { w.set_outer_size(ui::LIST_WIDTH, ui::LIST_HEIGHT); }

    // Fills the book with (title, body) entries, focused on the first, as a
    // freshly opened book is.
    void load(const std::vector<std::pair<std::string, std::string>>& entries) {
        s.record_text.clear();
        s.entry_index.clear();
        for (const auto& [title, body] : entries) {
            s.record_text += record(body);
            s.entry_index.items.push_back({title, s.entry_index.size() + 1});
        }
        s.entry_index.focused_index = entries.empty() ? -1 : 0;
        s.modified = false;
    }

    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& e : s.entry_index.items) out.push_back(e.title);
        return out;
    }
    std::vector<int> numbers() const {
        std::vector<int> out;
        for (const auto& e : s.entry_index.items) out.push_back(e.record_number);
        return out;
    }

    // The four items that need a focused entry.
    bool entry_items_enabled() const {
        using ui::MenuItem;
        bool all = true, any = false;
        for (auto i : {MenuItem::edit_content, MenuItem::retitle, MenuItem::insert_entry,
                       MenuItem::delete_entry}) {
            all = all && w.item_enabled(i);
            any = any || w.item_enabled(i);
        }
        EXPECT_EQ(all, any) << "the four entry items must change together";
        return all;
    }

    // The window as it is in the list view.
    void expect_list_view() const {
        EXPECT_EQ(w.view(), ui::LIST_VIEW);
        EXPECT_EQ(w.width, ui::LIST_WIDTH);
        EXPECT_EQ(w.height, ui::LIST_HEIGHT);
        EXPECT_TRUE(w.menu_shown(ui::Menu::main_edit));
        EXPECT_FALSE(w.menu_shown(ui::Menu::editor_edit));
        EXPECT_EQ(w.edit_text(ui::EditBox::diary), "");
        EXPECT_EQ(s.editor_baseline, "");
    }

    void expect_editor_view() const {
        EXPECT_EQ(w.view(), ui::EDITOR_VIEW);
        EXPECT_EQ(w.width, ui::EDITOR_WIDTH);
        EXPECT_EQ(w.height, ui::EDITOR_HEIGHT);
        EXPECT_FALSE(w.menu_shown(ui::Menu::main_edit));
        EXPECT_TRUE(w.menu_shown(ui::Menu::editor_edit));
    }
};

}  // namespace dova::testing
