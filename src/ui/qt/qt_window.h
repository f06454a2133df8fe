// The main window on Qt Widgets: the frame, the three pages, the menu bar and
// the boxes. Every event goes to its one handler in ui/handlers.h; the window
// itself decides nothing about the book.
#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QSize>
#include <array>

#include "app/book_state.h"
#include "ui/window.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;

namespace dova::ui::qt {

class DiaryEdit;
class EntryListModel;
class EntryListView;
class StarMaskStyle;

class QtWindow : public QMainWindow, public Window {
    Q_OBJECT
  public:
    // Created at 340 × 320 (frame included), centred on the screen, on the
    // list page; not shown.
    explicit QtWindow(BookState& state, QWidget* parent = nullptr);
    ~QtWindow() override;

    // ---- Window ----
    int view() const override;
    void set_view(int page) override;
    void set_outer_size(int width, int height) override;
    void set_menu_enabled(Menu menu, bool enabled) override;
    void set_menu_shown(Menu menu, bool shown) override;
    void set_item_enabled(MenuItem item, bool enabled) override;
    void list_reset() override;
    void list_inserted(int index) override;
    void list_removed(int index) override;
    void list_changed(int index) override;
    void select_list_item(int index) override;
    std::string edit_text(EditBox box) const override;
    void set_edit_text(EditBox box, std::string_view text) override;
    std::string selected_text(EditBox box) const override;
    void replace_selection(EditBox box, std::string_view text) override;
    void set_edit_enabled(EditBox box, bool enabled) override;
    bool edit_enabled(EditBox box) const override;
    void set_passwords_masked(bool masked) override;
    bool show_password_ticked() const override;
    void set_mark_text(std::string_view text) override;
    void set_focus(Control control) override;
    void popup_menu(Menu menu) override;
    std::optional<std::string> file_dialog(bool save_mode, std::string_view title) override;
    Answer message_box(std::string_view text, std::string_view caption, Buttons buttons) override;
    std::optional<std::string> input_box(std::string_view prompt, std::string_view caption,
                                         std::string_view initial, InputMode mode,
                                         bool owned) override;
    bool set_clipboard_text(std::string_view text) override;
    std::optional<std::string> clipboard_text() override;
    void wait_dispatching(int milliseconds) override;
    void register_drop_target() override;
    [[noreturn]] void destroy_and_exit(int code) override;

    // ---- for the program and its tests ----
    // The outer size the procedures asked for.
    QSize requested_outer_size() const { return outer_; }
    QMenu* menu(Menu menu) const;
    QAction* item(MenuItem item) const;
    EntryListModel* list_model() const { return model_; }
    // The question of the session manager at log-off: true lets the session
    // end (the window will then close without asking again).
    bool session_end_query();
    bool run_close_query();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_pages();
    void build_list_page(QWidget* page);
    void build_editor_page(QWidget* page);
    void build_password_page(QWidget* page);
    void build_menus();
    void connect_events();
    void rebuild_menu_bar();
    void apply_outer_size();
    void centre_on_screen();
    void sync_list_focus(bool clear_selection);
    QWidget* control_widget(Control control) const;
    QLineEdit* password_box(EditBox box) const;
    bool filter_typed_text(QLineEdit* box, QEvent* event);
    void confirm_focus_event(QEvent* event);
    // Runs a handler of a user's action.
    template <class F>
    void user_action(F&& handler);

    BookState& state_;
    StarMaskStyle* mask_style_ = nullptr;

    QStackedWidget* pages_ = nullptr;
    std::array<QWidget*, 3> page_widgets_{};
    EntryListModel* model_ = nullptr;
    EntryListView* list_ = nullptr;
    DiaryEdit* diary_ = nullptr;
    QPushButton* save_button_ = nullptr;
    QPushButton* back_button_ = nullptr;
    QLineEdit* old_password_ = nullptr;
    QLineEdit* new_password_ = nullptr;
    QLineEdit* confirm_password_ = nullptr;
    QLabel* mark_ = nullptr;
    QPushButton* confirm_button_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QCheckBox* show_password_ = nullptr;

    std::array<QMenu*, 4> menus_{};
    std::array<bool, 4> menu_shown_{true, true, false, true};
    std::array<QAction*, 19> items_{};

    QSize outer_;
    QMargins applied_margins_;
    QString last_dialog_path_;

    // The program is selecting in the list: no selection event.
    bool selecting_ = false;
    // The program is moving the focus: Qt's focus events only keep
    // confirm_focus_ in step; the handlers are raised by set_focus itself.
    bool moving_focus_ = false;
    // Whether 确认密码编辑框 has the focus, as its handlers last saw it.
    bool confirm_focus_ = false;
    bool drops_registered_ = false;
    bool in_close_query_ = false;
    bool close_approved_ = false;
    bool destroying_ = false;
    bool filtering_ = false;
};

}  // namespace dova::ui::qt
