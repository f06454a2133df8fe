// The edit box 日记编辑框. It hands back exactly the bytes it was given for
// as long as the user has not changed the text, so leaving an untouched entry
// never sees a difference, whatever line breaks or stray bytes the body holds.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <string_view>

namespace dova::ui::qt {

class DiaryEdit : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit DiaryEdit(QWidget* parent);

    // GBK with "\r\n" line breaks; resets the undo history.
    void set_gbk(std::string_view text);
    std::string gbk() const;
    std::string selected_gbk() const;
    // Replaces the selection, or inserts at the caret, as one undo step.
    void replace_selection_gbk(std::string_view text);

    // Called when the right button is released over the text; returns true
    // when the program handled it, false to show the standard menu.
    std::function<bool()> on_right_release;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::string set_bytes_;
};

}  // namespace dova::ui::qt
