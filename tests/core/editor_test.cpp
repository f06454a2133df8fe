// The editor view: opening an entry, storing it, leaving it with the change
// question, and its clipboard commands and context menu.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/entry_fixture.h"
#include "model/entry_store.h"
#include "text/texts.h"
#include "ui/entry_commands.h"
#include "ui/handlers.h"

namespace dova::testing {
namespace {

using ui::Answer;
using ui::Buttons;
using ui::EditBox;

class Editor : public EntryTest {
  protected:
    // A book of two entries with the second one open in the editor.
    void open_second(const std::string& body = "abc") {
        load({{"a", "first"}, {"b", body}});
        ui::on_list_selected(s, w, 1);
        w.selected_item = 1;
        ui::enter_editor(s, w);
        ASSERT_EQ(w.view(), ui::EDITOR_VIEW);
    }
    std::string second_body() const { return model::fetch_record_body(s, 2).body; }
};

TEST_F(Editor, OpeningShowsTheBodyWithOneLineBreakAndReturningAtOnceAsksNothing) {
    open_second("abc");

    expect_editor_view();
    EXPECT_EQ(w.edit_text(EditBox::diary), "abc\r\n");
    EXPECT_EQ(s.editor_baseline, "abc");
    EXPECT_EQ(w.focus, ui::Control::diary);
    EXPECT_TRUE(w.messages.empty());

    EXPECT_TRUE(ui::leave_editor(s, w));

    EXPECT_TRUE(w.messages.empty());
    expect_list_view();
    EXPECT_FALSE(s.modified);
    EXPECT_EQ(s.record_text, record("first") + record("abc"));
    // Leaving moves neither the focus nor the list's selection.
    EXPECT_EQ(w.focus, ui::Control::diary);
    EXPECT_EQ(w.selected_item, 1);
    EXPECT_EQ(s.entry_index.focused_index, 1);
}

// With no record to open the editor is not entered and nothing changes; the
// user is told why.
TEST_F(Editor, NoRecordToOpenShowsAMessageAndStaysInTheList) {
    struct Case {
        const char* name;
        std::string record_text;
        int focused;
        int record_number;
        std::string_view message;
    };
    const Case cases[] = {
        {"no focused entry", "", -1, 1, texts::MSG_NO_ENTRY_SELECTED},
        {"number past the records", record("x"), 0, 2, texts::MSG_ERROR},
        {"number below one", record("x"), 0, 0, texts::MSG_ERROR},
        {"record without its head", "\r\nabc" + std::string(texts::RECORD_TAIL), 0, 1,
         texts::MSG_ERROR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.messages.clear();
        s.record_text = c.record_text;
        s.entry_index.items = {{"t", c.record_number}};
        s.entry_index.focused_index = c.focused;
        s.editor_baseline = "";

        ui::enter_editor(s, w);

        expect_list_view();
        EXPECT_NE(w.focus, ui::Control::diary);
        EXPECT_EQ(s.record_text, c.record_text);
        EXPECT_FALSE(s.modified);
        ASSERT_EQ(w.messages.size(), 1u);
        EXPECT_EQ(w.messages[0].text, c.message);
        EXPECT_EQ(w.messages[0].caption, texts::CAPTION_INFO);
        EXPECT_EQ(w.messages[0].buttons, Buttons::ok);
    }
}

TEST_F(Editor, LineBreaksTypedAroundTheBodyAreNotAChange) {
    open_second("abc");
    w.set_edit_text(EditBox::diary, "\r\n\r\nabc\r\n\r\n\r\n");

    ui::store_editor_text(s, w);
    EXPECT_TRUE(ui::leave_editor(s, w));

    EXPECT_TRUE(w.messages.empty());
    EXPECT_FALSE(s.modified);
    EXPECT_EQ(second_body(), "abc");
}

TEST_F(Editor, SavingStoresOnceAndKeepsTheEditorAsTyped) {
    open_second("abc");
    w.set_edit_text(EditBox::diary, "\r\nabc def\r\n");

    ui::store_editor_text(s, w);

    EXPECT_EQ(second_body(), "abc def");
    EXPECT_EQ(model::fetch_record_body(s, 1).body, "first");
    EXPECT_EQ(s.editor_baseline, "abc def");
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(w.edit_text(EditBox::diary), "\r\nabc def\r\n");
    expect_editor_view();

    // The second save finds nothing new, and returning asks nothing.
    s.modified = false;
    ui::store_editor_text(s, w);
    EXPECT_FALSE(s.modified);
    EXPECT_TRUE(ui::leave_editor(s, w));
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(second_body(), "abc def");
}

// Each answer to the change question when leaving a changed entry.
TEST_F(Editor, LeavingAChangedEntryAsksAndFollowsTheAnswer) {
    struct Case {
        Answer answer;
        bool left;
        std::string body;
        bool modified;
    };
    const Case cases[] = {
        {Answer::yes, true, "changed", true},
        {Answer::no, true, "abc", false},
        {Answer::cancel, false, "abc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        w.messages.clear();
        open_second("abc");
        w.set_edit_text(EditBox::diary, "changed\r\n");
        w.message_answers.push_back(c.answer);

        EXPECT_EQ(ui::leave_editor(s, w), c.left);

        ASSERT_EQ(w.messages.size(), 1u);
        EXPECT_EQ(w.messages[0].text, texts::ASK_STORE_EDITOR);
        EXPECT_EQ(w.messages[0].caption, texts::CAPTION_INFO);
        EXPECT_EQ(w.messages[0].buttons, Buttons::yes_no_cancel);
        EXPECT_EQ(second_body(), c.body);
        EXPECT_EQ(s.modified, c.modified);
        if (c.left) {
            expect_list_view();
        } else {
            expect_editor_view();
            EXPECT_EQ(w.edit_text(EditBox::diary), "changed\r\n");
            EXPECT_EQ(s.editor_baseline, "abc");
        }
        if (w.view() == ui::EDITOR_VIEW) {
            w.message_answers.push_back(Answer::no);
            ASSERT_TRUE(ui::leave_editor(s, w));
        }
    }
}

TEST_F(Editor, TheButtonsAndMenuItemsReachTheEditorProcedures) {
    open_second("abc");
    w.set_edit_text(EditBox::diary, "one");
    ui::on_editor_save_clicked(s, w);
    EXPECT_EQ(second_body(), "one");
    w.set_edit_text(EditBox::diary, "two");
    ui::on_menu_item(s, w, ui::MenuItem::editor_save);
    EXPECT_EQ(second_body(), "two");

    ui::on_editor_back_clicked(s, w);
    expect_list_view();
    ui::on_menu_item(s, w, ui::MenuItem::edit_content);
    ui::on_menu_item(s, w, ui::MenuItem::editor_back);
    expect_list_view();
    EXPECT_TRUE(w.messages.empty());
}

// A body the book cannot carry is refused with a message; the editor keeps
// the text so nothing typed is lost, whether it was saved or left with Yes.
TEST_F(Editor, RefusedBodyIsExplainedAndTheEditorKeepsIt) {
    const std::string bad = "abc" + std::string(texts::RECORD_TAIL) + "def\r\n";
    const std::string refusal = std::string(model::fault_message(model::TextFault::body_end_mark));
    for (bool by_leaving : {false, true}) {
        SCOPED_TRACE(by_leaving ? "leave, Yes" : "save");
        w.messages.clear();
        open_second("abc");
        w.set_edit_text(EditBox::diary, bad);
        if (by_leaving) {
            w.message_answers.push_back(Answer::yes);
            EXPECT_FALSE(ui::leave_editor(s, w));
        } else {
            ui::store_editor_text(s, w);
        }

        ASSERT_FALSE(w.messages.empty());
        EXPECT_EQ(w.messages.back().text, refusal);
        EXPECT_FALSE(refusal.empty());
        EXPECT_EQ(w.messages.back().buttons, Buttons::ok);
        expect_editor_view();
        EXPECT_EQ(w.edit_text(EditBox::diary), bad);
        EXPECT_EQ(s.editor_baseline, "abc");
        EXPECT_EQ(s.record_text, record("first") + record("abc"));
        EXPECT_EQ(s.entry_index.size(), 2);
        EXPECT_FALSE(s.modified);

        // Once mended it goes in.
        w.set_edit_text(EditBox::diary, "abcdef");
        w.message_answers.push_back(Answer::yes);
        EXPECT_TRUE(ui::leave_editor(s, w));
        EXPECT_EQ(second_body(), "abcdef");
    }
}

TEST_F(Editor, CopyPutsTheWholeTextOnTheClipboardEvenWithASelection) {
    open_second("abc");
    w.select(EditBox::diary, 1, 1);
    w.clipboard = "old";

    ui::on_menu_item(s, w, ui::MenuItem::copy);
    EXPECT_EQ(w.clipboard, "abc\r\n");

    // An unreachable clipboard is passed over in silence.
    w.clipboard_reachable = false;
    ui::copy_flow(s, w);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.edit_text(EditBox::diary), "abc\r\n");
}

TEST_F(Editor, PasteReplacesOnlyTheSelectionAsOneUndoStep) {
    open_second("abcdef");
    w.select(EditBox::diary, 2, 2);
    w.clipboard = "\xC8\xD5\xBC\xC7";

    ui::on_menu_item(s, w, ui::MenuItem::paste);

    EXPECT_EQ(w.edit_text(EditBox::diary),
              "ab\xC8\xD5\xBC\xC7"
              "ef\r\n");
    EXPECT_EQ(s.editor_baseline, "abcdef");
    EXPECT_EQ(second_body(), "abcdef");
    EXPECT_FALSE(s.modified);
    w.undo(EditBox::diary);
    EXPECT_EQ(w.edit_text(EditBox::diary), "abcdef\r\n");
}

TEST_F(Editor, PasteWithNoTextOnTheClipboardLeavesTheBoxAndItsSelection) {
    const std::optional<std::string> empties[] = {std::nullopt, std::string()};
    for (const auto& clip : empties) {
        open_second("abcdef");
        w.select(EditBox::diary, 2, 2);
        w.clipboard = clip;
        ui::paste_flow(s, w);
        EXPECT_EQ(w.edit_text(EditBox::diary), "abcdef\r\n");
        EXPECT_EQ(w.selected_text(EditBox::diary), "cd");
        ASSERT_TRUE(ui::leave_editor(s, w));
    }
    w.clipboard_reachable = false;
    open_second("abcdef");
    ui::paste_flow(s, w);
    EXPECT_EQ(w.edit_text(EditBox::diary), "abcdef\r\n");
}

TEST_F(Editor, RightClickShowsTheProgramMenuOnlyWithoutASelection) {
    open_second("abc");
    w.popup_choices.push_back(ui::MenuItem::copy);
    EXPECT_TRUE(ui::on_editor_right_click(s, w));
    EXPECT_EQ(w.popups, (std::vector<ui::Menu>{ui::Menu::editor_edit}));
    EXPECT_EQ(w.clipboard, "abc\r\n");

    // With text selected the edit box shows its own menu instead.
    w.select(EditBox::diary, 0, 2);
    EXPECT_FALSE(ui::on_editor_right_click(s, w));
    EXPECT_EQ(w.popups.size(), 1u);
}

}  // namespace
}  // namespace dova::testing
