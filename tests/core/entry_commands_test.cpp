// The commands of the main 编辑(&E) menu and the list's mouse actions, driven
// through the scripted window.
#include "ui/entry_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/entry_fixture.h"
#include "model/entry_store.h"
#include "text/texts.h"
#include "ui/handlers.h"

namespace dova::testing {
namespace {

using ui::Answer;
using ui::Buttons;
using ui::MenuItem;
using Strings = std::vector<std::string>;

class EntryCommands : public EntryTest {};

TEST_F(EntryCommands, NewEntryWithTheProposedDateAppendsSelectsAndEnablesTheEntryItems) {
    load({{"a", "x"}});
    const std::string today = model::default_title();
    w.input_answers.push_back(today);

    ui::new_entry_flow(s, w);

    ASSERT_EQ(w.inputs.size(), 1u);
    const InputShown& prompt = w.inputs[0];
    EXPECT_EQ(prompt.prompt, texts::PROMPT_TITLE);
    EXPECT_EQ(prompt.caption, texts::CAPTION_INPUT);
    EXPECT_EQ(prompt.initial, today);
    EXPECT_EQ(prompt.mode, ui::InputMode::plain);
    EXPECT_TRUE(prompt.owned);

    EXPECT_EQ(titles(), (Strings{"a", today}));
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.record_text, record("x") + record(""));
    EXPECT_EQ(s.entry_index.focused_index, 1);
    EXPECT_EQ(w.selected_item, 1);
    EXPECT_EQ(w.list_events, (Strings{"insert 1"}));
    EXPECT_TRUE(s.modified);
    EXPECT_TRUE(entry_items_enabled());
    EXPECT_TRUE(w.messages.empty());
}

// What the user types at the title prompt of 新建日记 and 插入日记, and the
// title the entry gets: nothing means today's date, anything else is kept
// exactly as typed, blanks included.
struct TypedTitle {
    const char* name;
    std::string typed;
    bool date;
};

class NewTitles : public EntryTest, public ::testing::WithParamInterface<TypedTitle> {};

TEST_P(NewTitles, TitleIsTheTypedTextOrTheDateWhenNothingWasTyped) {
    const TypedTitle& c = GetParam();
    const std::string expected = c.date ? model::default_title() : c.typed;

    w.input_answers.push_back(c.typed);
    ui::new_entry_flow(s, w);
    EXPECT_EQ(titles(), (Strings{expected}));

    load({{"old", "x"}});
    w.input_answers.push_back(c.typed);
    ui::insert_entry_flow(s, w);
    EXPECT_EQ(titles(), (Strings{expected, "old"}));
}

INSTANTIATE_TEST_SUITE_P(EntryCommands, NewTitles,
                         ::testing::Values(TypedTitle{"Erased", "", true},
                                           TypedTitle{"OneBlank", " ", false},
                                           TypedTitle{"Padded", "  t  ", false},
                                           TypedTitle{"Chinese", "\xC8\xD5\xBC\xC7 ", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every title flow leaves the book alone when its prompt is cancelled.
struct Flow {
    const char* name;
    std::function<void(BookState&, ui::Window&)> run;
};

const Flow kTitleFlows[] = {
    {"New", ui::new_entry_flow},
    {"Insert", ui::insert_entry_flow},
    {"Retitle", ui::retitle_flow},
};

class TitleFlows : public EntryTest, public ::testing::WithParamInterface<Flow> {};

TEST_P(TitleFlows, CancelChangesNothing) {
    for (bool modified : {false, true}) {
        load({{"a", "x"}, {"b", "y"}});
        s.modified = modified;
        const BookState before = s;
        w.input_answers.push_back(std::nullopt);

        GetParam().run(s, w);

        EXPECT_EQ(titles(), (Strings{"a", "b"}));
        EXPECT_EQ(s.record_text, before.record_text);
        EXPECT_EQ(s.entry_index.focused_index, 0);
        EXPECT_EQ(s.modified, modified);
        EXPECT_TRUE(w.list_events.empty());
        EXPECT_EQ(w.selected_item, -1);
    }
    EXPECT_FALSE(entry_items_enabled());
}

// A title the book cannot carry is refused with a message saying why, and the
// prompt comes back with the text as typed; nothing changes until a good
// title is given.
TEST_P(TitleFlows, RefusedTitleIsExplainedAndOfferedAgainAsTyped) {
    load({{"a", "x"}});
    const std::string bad = "x,y";
    const std::string bad_again = "x\r\ny";
    w.input_answers = {bad, bad_again, std::nullopt};

    GetParam().run(s, w);

    ASSERT_EQ(w.inputs.size(), 3u);
    EXPECT_EQ(w.inputs[1].initial, bad);
    EXPECT_EQ(w.inputs[2].initial, bad_again);
    ASSERT_EQ(w.messages.size(), 2u);
    EXPECT_EQ(w.messages[0].text, model::fault_message(model::TextFault::title_comma));
    EXPECT_EQ(w.messages[1].text, model::fault_message(model::TextFault::title_line_break));
    for (const MessageShown& m : w.messages) {
        EXPECT_FALSE(m.text.empty());
        EXPECT_EQ(m.caption, texts::CAPTION_INFO);
        EXPECT_EQ(m.buttons, Buttons::ok);
    }
    EXPECT_EQ(titles(), (Strings{"a"}));
    EXPECT_EQ(s.record_text, record("x"));
    EXPECT_FALSE(s.modified);
    EXPECT_TRUE(w.list_events.empty());

    // Mended, the title goes in.
    w.input_answers = {bad, "xy"};
    GetParam().run(s, w);
    const Strings after = titles();
    EXPECT_NE(std::find(after.begin(), after.end(), "xy"), after.end());
    EXPECT_TRUE(s.modified);
}

INSTANTIATE_TEST_SUITE_P(EntryCommands, TitleFlows, ::testing::ValuesIn(kTitleFlows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryCommands, InsertOnTheFirstEntryPutsTheNewOneFirstAndKeepsTheOldBody) {
    load({{"first", "old first body"}, {"second", "b2"}});
    w.input_answers.push_back("new");

    ui::insert_entry_flow(s, w);

    EXPECT_EQ(titles(), (Strings{"new", "first", "second"}));
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(s.entry_index.focused_index, 0);
    EXPECT_EQ(w.selected_item, 0);
    EXPECT_EQ(w.list_events, (Strings{"insert 0"}));
    EXPECT_TRUE(s.modified);

    // The new entry is empty, and the old first one still opens with its body.
    ui::enter_editor(s, w);
    EXPECT_EQ(w.edit_text(ui::EditBox::diary), "\r\n");
    ASSERT_TRUE(ui::leave_editor(s, w));
    ui::on_list_selected(s, w, 1);
    ui::enter_editor(s, w);
    EXPECT_EQ(w.edit_text(ui::EditBox::diary), "old first body\r\n");
}

TEST_F(EntryCommands, InsertOnAnEmptyListAddsNothingButMarksTheBookModified) {
    w.input_answers.push_back("t");

    ui::insert_entry_flow(s, w);

    EXPECT_TRUE(s.entry_index.empty());
    EXPECT_EQ(s.entry_index.focused_index, -1);
    EXPECT_EQ(s.record_text, "");
    EXPECT_TRUE(s.modified);
    EXPECT_TRUE(w.list_events.empty());
    EXPECT_EQ(w.selected_item, -1);
}

TEST_F(EntryCommands, DeleteAsksWithTheWarningAndAnythingButOkKeepsTheEntry) {
    for (Answer answer : {Answer::cancel, Answer::no, Answer::yes}) {
        load({{"a", "x"}});
        w.message_answers.push_back(answer);

        ui::delete_entry_flow(s, w);

        EXPECT_EQ(titles(), (Strings{"a"}));
        EXPECT_EQ(s.record_text, record("x"));
        EXPECT_FALSE(s.modified);
    }
    ASSERT_FALSE(w.messages.empty());
    EXPECT_EQ(w.messages[0].text, texts::ASK_DELETE_ENTRY);
    EXPECT_EQ(w.messages[0].caption, texts::CAPTION_INFO);
    EXPECT_EQ(w.messages[0].buttons, Buttons::ok_cancel_warning);
    EXPECT_TRUE(w.list_events.empty());
}

TEST_F(EntryCommands, DeleteOkRemovesTheFocusedEntryAndTheFocusMovesToTheNext) {
    load({{"a", "x"}, {"b", "y"}, {"c", "z"}});
    ui::on_list_selected(s, w, 1);
    w.message_answers.push_back(Answer::ok);

    ui::delete_entry_flow(s, w);

    EXPECT_EQ(titles(), (Strings{"a", "c"}));
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.record_text, record("x") + record("z"));
    EXPECT_EQ(s.entry_index.focused_index, 1);
    EXPECT_EQ(w.list_events, (Strings{"remove 1"}));
    EXPECT_TRUE(s.modified);

    // The entry now focused is the old third one.
    ui::enter_editor(s, w);
    EXPECT_EQ(w.edit_text(ui::EditBox::diary), "z\r\n");
}

TEST_F(EntryCommands, DeletingTheLastEntryLeavesAnEmptyListWithTheEntryItemsStillEnabled) {
    load({{"a", "x"}});
    ui::on_list_selected(s, w, 0);
    w.message_answers.push_back(Answer::ok);

    ui::delete_entry_flow(s, w);

    EXPECT_TRUE(s.entry_index.empty());
    EXPECT_EQ(s.entry_index.focused_index, -1);
    EXPECT_EQ(s.record_text, "");
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(w.list_events, (Strings{"remove 0"}));
    EXPECT_TRUE(entry_items_enabled());

    // The items still work on the empty list and change nothing harmful.
    w.message_answers.push_back(Answer::ok);
    ui::delete_entry_flow(s, w);
    EXPECT_EQ(w.list_events, (Strings{"remove 0"}));
    ui::enter_editor(s, w);
    expect_list_view();
    EXPECT_EQ(w.messages.back().text, texts::MSG_NO_ENTRY_SELECTED);
}

TEST_F(EntryCommands, RetitleOffersTheCurrentTitleAndChangesOnlyOnADifferentOne) {
    load({{"a", "x"}, {"b", "y"}});
    ui::on_list_selected(s, w, 1);

    // Same title, and an emptied prompt: nothing changes.
    w.input_answers = {"b", ""};
    ui::retitle_flow(s, w);
    ui::retitle_flow(s, w);
    ASSERT_EQ(w.inputs.size(), 2u);
    EXPECT_EQ(w.inputs[0].initial, "b");
    EXPECT_EQ(w.inputs[0].prompt, texts::PROMPT_TITLE);
    EXPECT_TRUE(w.inputs[0].owned);
    EXPECT_EQ(titles(), (Strings{"a", "b"}));
    EXPECT_FALSE(s.modified);
    EXPECT_TRUE(w.list_events.empty());

    w.input_answers = {" B "};
    ui::retitle_flow(s, w);
    EXPECT_EQ(titles(), (Strings{"a", " B "}));
    EXPECT_EQ(numbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.record_text, record("x") + record("y"));
    EXPECT_EQ(s.entry_index.focused_index, 1);
    EXPECT_EQ(w.list_events, (Strings{"change 1"}));
    EXPECT_TRUE(s.modified);
}

TEST_F(EntryCommands, RetitleOnAnEmptyListOffersAnEmptyTitle) {
    w.input_answers = {"t"};
    ui::retitle_flow(s, w);
    ASSERT_EQ(w.inputs.size(), 1u);
    EXPECT_EQ(w.inputs[0].initial, "");
    EXPECT_TRUE(s.entry_index.empty());
    EXPECT_TRUE(w.list_events.empty());
}

TEST_F(EntryCommands, SelectingAnItemFocusesItAndEnablesOnlyTheEntryItems) {
    load({{"a", "x"}, {"b", "y"}});
    ASSERT_FALSE(entry_items_enabled());

    ui::on_list_selected(s, w, 1);

    EXPECT_EQ(s.entry_index.focused_index, 1);
    EXPECT_TRUE(entry_items_enabled());
    EXPECT_TRUE(w.item_enabled(MenuItem::new_entry));
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(w.inputs.empty());
}

TEST_F(EntryCommands, RightClickOnTheListPopsUpTheMainEditMenuAndRunsTheChosenItem) {
    load({{"a", "x"}});
    w.popup_choices.push_back(std::nullopt);
    ui::on_list_right_click(s, w);
    EXPECT_EQ(w.popups, (std::vector<ui::Menu>{ui::Menu::main_edit}));
    EXPECT_TRUE(w.inputs.empty());

    w.popup_choices.push_back(MenuItem::new_entry);
    w.input_answers.push_back("n");
    ui::on_list_right_click(s, w);
    EXPECT_EQ(titles(), (Strings{"a", "n"}));
}

TEST_F(EntryCommands, DoubleClickOpensTheFocusedEntry) {
    load({{"a", "x"}, {"b", "y"}});
    ui::on_list_selected(s, w, 1);
    ui::on_list_double_clicked(s, w);
    expect_editor_view();
    EXPECT_EQ(w.edit_text(ui::EditBox::diary), "y\r\n");
}

}  // namespace
}  // namespace dova::testing
