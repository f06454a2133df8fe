#include "ui/qt/qt_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSessionManager>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

#include "text/texts.h"
#include "ui/handlers.h"
#include "ui/qt/boxes.h"
#include "ui/qt/diary_edit.h"
#include "ui/qt/drop_rules.h"
#include "ui/qt/entry_list_model.h"
#include "ui/qt/entry_list_view.h"
#include "ui/qt/list_font.h"
#include "ui/qt/object_names.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/star_style.h"

namespace dova::ui::qt {
namespace {

struct MenuEntry {
    MenuItem item;
    Menu menu;
    std::string_view text;
    const char* name;
    bool separator_before;
};

// The menu bar's items in their order; a separator precedes those marked.
constexpr MenuEntry kItems[] = {
    {MenuItem::new_book, Menu::program, texts::ITEM_NEW_BOOK, names::ACTION_NEW_BOOK, false},
    {MenuItem::open, Menu::program, texts::ITEM_OPEN, names::ACTION_OPEN, false},
    {MenuItem::save, Menu::program, texts::ITEM_SAVE, names::ACTION_SAVE, false},
    {MenuItem::save_as, Menu::program, texts::ITEM_SAVE_AS, names::ACTION_SAVE_AS, false},
    {MenuItem::about, Menu::program, texts::ITEM_ABOUT, names::ACTION_ABOUT, true},
    {MenuItem::feedback, Menu::program, texts::ITEM_FEEDBACK, names::ACTION_FEEDBACK, false},
    {MenuItem::quit, Menu::program, texts::ITEM_QUIT, names::ACTION_QUIT, true},
    {MenuItem::edit_content, Menu::main_edit, texts::ITEM_EDIT_CONTENT, names::ACTION_EDIT_CONTENT,
     false},
    {MenuItem::retitle, Menu::main_edit, texts::ITEM_RETITLE, names::ACTION_RETITLE, false},
    {MenuItem::new_entry, Menu::main_edit, texts::ITEM_NEW_ENTRY, names::ACTION_NEW_ENTRY, true},
    {MenuItem::insert_entry, Menu::main_edit, texts::ITEM_INSERT_ENTRY, names::ACTION_INSERT_ENTRY,
     false},
    {MenuItem::delete_entry, Menu::main_edit, texts::ITEM_DELETE_ENTRY, names::ACTION_DELETE_ENTRY,
     false},
    {MenuItem::copy, Menu::editor_edit, texts::ITEM_COPY, names::ACTION_COPY, false},
    {MenuItem::paste, Menu::editor_edit, texts::ITEM_PASTE, names::ACTION_PASTE, false},
    {MenuItem::editor_save, Menu::editor_edit, texts::ITEM_EDITOR_SAVE, names::ACTION_EDITOR_SAVE,
     true},
    {MenuItem::editor_back, Menu::editor_edit, texts::ITEM_EDITOR_BACK, names::ACTION_EDITOR_BACK,
     false},
    {MenuItem::change_password, Menu::account, texts::ITEM_CHANGE_PASSWORD,
     names::ACTION_CHANGE_PASSWORD, false},
    {MenuItem::load_password, Menu::account, texts::ITEM_LOAD_PASSWORD, names::ACTION_LOAD_PASSWORD,
     true},
    {MenuItem::export_password, Menu::account, texts::ITEM_EXPORT_PASSWORD,
     names::ACTION_EXPORT_PASSWORD, false},
};

constexpr int index_of(Menu m) {
    return static_cast<int>(m);
}
constexpr int index_of(MenuItem i) {
    return static_cast<int>(i);
}

QString object_name(const char* name) {
    return QString::fromUtf8(name);
}

template <class W>
W* place(W* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(object_name(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QPushButton* push_button(QWidget* page, std::string_view text, const char* name, int x, int y,
                         int width, int height) {
    auto* b = place(new QPushButton(to_qstring(text), page), name, x, y, width, height);
    // Enter never clicks a button of the main window.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLabel* label(QWidget* page, std::string_view text, const char* name, int x, int y, int width,
              int height) {
    auto* l = place(new QLabel(to_qstring(text), page), name, x, y, width, height);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setAutoFillBackground(false);
    return l;
}

// The width a check box leaves for its text.
int check_box_text_room(const QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
}

// "显示密码" needs more than the 50 pixels its place gives it in a Chinese
// font: let the box reach from the page's left margin to just before the
// 确认 button, and only if that is still too narrow make its font smaller.
void fit_check_box_text(QCheckBox* box) {
    auto fits = [box] {
        return QFontMetrics(box->font()).horizontalAdvance(box->text()) <= check_box_text_room(box);
    };
    if (fits()) return;
    const QRect r = box->geometry();
    box->setGeometry(2, r.y(), 64, r.height());
    QFont font = box->font();
    if (font.pixelSize() <= 0) font.setPixelSize(QFontInfo(font).pixelSize());
    while (!fits() && font.pixelSize() > 9) {
        font.setPixelSize(font.pixelSize() - 1);
        box->setFont(font);
    }
}

}  // namespace

template <class F>
void QtWindow::user_action(F&& handler) {
    // The user went on working after the session manager's question.
    close_approved_ = false;
    handler();
}

QtWindow::QtWindow(BookState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName(object_name(names::WINDOW));
    // A fixed frame with the system menu, minimize and close; no maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);

    mask_style_ = new StarMaskStyle();
    mask_style_->setParent(this);
    // The controls have fixed places and sizes made for a 12-pixel interface
    // font; a desktop's larger default (16 pixels on the VNC platform) would
    // cut their texts off. Keep the system's family at that size.
    QFont ui_font = QApplication::font();
    ui_font.setPixelSize(12);
    setFont(ui_font);

    build_pages();
    build_menus();
    connect_events();

    // The frame margins are known once the window has its native handle.
    create();
    // The window has no title, but the platform layer puts the program's
    // name in place of an empty one; a zero-width space keeps the bar empty.
    windowHandle()->setTitle(QStringLiteral("\u200B"));
    outer_ = QSize(CREATED_WIDTH, CREATED_HEIGHT);
    apply_outer_size();
    centre_on_screen();
}

QtWindow::~QtWindow() {
    // Focus events raised while the widgets go away reach no handler.
    destroying_ = true;
}

// ---- building ----

void QtWindow::build_pages() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);

    pages_ = new QStackedWidget(central);
    pages_->setObjectName(object_name(names::PAGES));
    pages_->setFrameShape(QFrame::NoFrame);
    // The page container is larger than the window in the list view; the
    // window's edge cuts it off.
    pages_->setGeometry(0, 0, 336, 240);

    const char* page_names[] = {names::LIST_PAGE, names::EDITOR_PAGE, names::PASSWORD_PAGE};
    for (int i = 0; i < 3; ++i) {
        page_widgets_[i] = new QWidget(pages_);
        page_widgets_[i]->setObjectName(object_name(page_names[i]));
        pages_->addWidget(page_widgets_[i]);
    }
    build_list_page(page_widgets_[LIST_VIEW]);
    build_editor_page(page_widgets_[EDITOR_VIEW]);
    build_password_page(page_widgets_[PASSWORD_VIEW]);
    pages_->setCurrentIndex(LIST_VIEW);
}

void QtWindow::build_list_page(QWidget* page) {
    list_ = place(new EntryListView(page), names::LIST, 7, 8, 160, 137);
    model_ = new EntryListModel(state_.entry_index, this);
    const QFont font = list_font();
    list_->setFont(font);
    model_->set_item_height(list_item_height(font));
    list_->setModel(model_);
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideNone);
    list_->setFrameShape(QFrame::StyledPanel);
    list_->setFrameShadow(QFrame::Sunken);
    list_->setAcceptDrops(false);
    QPalette p = list_->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    list_->setPalette(p);
}

void QtWindow::build_editor_page(QWidget* page) {
    diary_ = place(new DiaryEdit(page), names::DIARY, 8, 8, 320, 200);
    QPalette p = diary_->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    // The selection is hidden while the box has no focus.
    p.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    diary_->setPalette(p);
    save_button_ =
        push_button(page, texts::BUTTON_EDITOR_SAVE, names::SAVE_BUTTON, 200, 211, 48, 22);
    back_button_ =
        push_button(page, texts::BUTTON_EDITOR_BACK, names::BACK_BUTTON, 280, 211, 48, 22);
}

void QtWindow::build_password_page(QWidget* page) {
    auto password_edit = [this, page](const char* name, int x, int y) {
        auto* e = place(new QLineEdit(page), name, x, y, 110, 24);
        e->setMaxLength(16);
        e->setEchoMode(QLineEdit::Password);
        e->setStyle(mask_style_);
        e->setAcceptDrops(false);
        e->installEventFilter(this);
        return e;
    };
    label(page, texts::LABEL_OLD_PASSWORD, names::OLD_LABEL, 7, 12, 40, 24);
    old_password_ = password_edit(names::OLD_PASSWORD, 51, 10);
    label(page, texts::LABEL_NEW_PASSWORD, names::NEW_LABEL, 7, 45, 40, 24);
    new_password_ = password_edit(names::NEW_PASSWORD, 51, 44);
    label(page, texts::LABEL_CONFIRM_PASSWORD, names::CONFIRM_LABEL, 2, 80, 53, 24);
    confirm_password_ = password_edit(names::CONFIRM_PASSWORD, 51, 78);
    mark_ = label(page, {}, names::MARK_LABEL, 162, 80, 16, 24);
    QPalette red = mark_->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    mark_->setPalette(red);
    confirm_button_ =
        push_button(page, texts::BUTTON_PASSWORD_CONFIRM, names::CONFIRM_BUTTON, 68, 113, 40, 24);
    cancel_button_ =
        push_button(page, texts::BUTTON_PASSWORD_CANCEL, names::CANCEL_BUTTON, 121, 113, 40, 24);
    show_password_ = place(new QCheckBox(to_qstring(texts::CHECK_SHOW_PASSWORD), page),
                           names::SHOW_PASSWORD, 10, 114, 50, 24);
    show_password_->setChecked(false);
    fit_check_box_text(show_password_);
}

void QtWindow::build_menus() {
    const std::string_view titles[] = {texts::MENU_PROGRAM, texts::MENU_EDIT, texts::MENU_EDIT,
                                       texts::MENU_ACCOUNT};
    const char* menu_names[] = {names::MENU_PROGRAM, names::MENU_MAIN_EDIT, names::MENU_EDITOR_EDIT,
                                names::MENU_ACCOUNT};
    for (int i = 0; i < 4; ++i) {
        menus_[i] = new QMenu(to_qstring(titles[i]), this);
        menus_[i]->setObjectName(object_name(menu_names[i]));
        menus_[i]->menuAction()->setObjectName(object_name(menu_names[i]) +
                                               QStringLiteral("_action"));
    }
    for (const MenuEntry& entry : kItems) {
        QMenu* m = menus_[index_of(entry.menu)];
        if (entry.separator_before) m->addSeparator();
        QAction* a = m->addAction(to_qstring(entry.text));
        a->setObjectName(object_name(entry.name));
        const MenuItem item = entry.item;
        connect(a, &QAction::triggered, this,
                [this, item] { user_action([&] { ui::on_menu_item(state_, *this, item); }); });
        items_[index_of(item)] = a;
    }
    for (MenuItem i : {MenuItem::edit_content, MenuItem::retitle, MenuItem::insert_entry,
                       MenuItem::delete_entry}) {
        items_[index_of(i)]->setEnabled(false);
    }
    menuBar()->setObjectName(QStringLiteral("menu_bar"));
    menuBar()->setNativeMenuBar(false);
    rebuild_menu_bar();
}

void QtWindow::connect_events() {
    list_->on_right_release = [this] {
        user_action([&] { ui::on_list_right_click(state_, *this); });
    };
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        user_action([&] { ui::on_list_double_clicked(state_, *this); });
    });
    QItemSelectionModel* selection = list_->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (selecting_ || !current.isValid()) return;
                ui::on_list_caret_moved(state_, current.row());
            });
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selecting_ || selected.indexes().isEmpty()) return;
                const int row = selected.indexes().first().row();
                user_action([&] { ui::on_list_selected(state_, *this, row); });
            });

    diary_->on_right_release = [this] {
        bool handled = false;
        user_action([&] { handled = ui::on_editor_right_click(state_, *this); });
        return handled;
    };
    connect(save_button_, &QPushButton::clicked, this,
            [this] { user_action([&] { ui::on_editor_save_clicked(state_, *this); }); });
    connect(back_button_, &QPushButton::clicked, this,
            [this] { user_action([&] { ui::on_editor_back_clicked(state_, *this); }); });
    connect(confirm_button_, &QPushButton::clicked, this,
            [this] { user_action([&] { ui::on_password_confirm_clicked(state_, *this); }); });
    connect(cancel_button_, &QPushButton::clicked, this,
            [this] { user_action([&] { ui::on_password_cancel_clicked(state_, *this); }); });
    connect(show_password_, &QCheckBox::clicked, this,
            [this] { user_action([&] { ui::on_show_password_clicked(state_, *this); }); });

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
            // Without leave to ask, the session ends as it would anyway.
            if (!manager.allowsInteraction()) return;
            const bool may_end = session_end_query();
            if (!may_end) manager.cancel();
            manager.release();
        });
    }
}

// ---- frame and size ----

void QtWindow::apply_outer_size() {
    const QMargins m = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    applied_margins_ = m;
    const QSize client(std::max(1, outer_.width() - m.left() - m.right()),
                       std::max(1, outer_.height() - m.top() - m.bottom()));
    // Fixed: the user cannot resize the window; resizing keeps the top-left.
    setFixedSize(client);
}

void QtWindow::centre_on_screen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr) return;
    QRect frame(QPoint(), outer_);
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
}

bool QtWindow::event(QEvent* e) {
    const bool result = QMainWindow::event(e);
    switch (e->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::WinIdChange:
            // A window manager may give the frame its size only once shown.
            if (windowHandle() && windowHandle()->frameMargins() != applied_margins_) {
                apply_outer_size();
            }
            break;
        default:
            break;
    }
    return result;
}

int QtWindow::view() const {
    return pages_->currentIndex();
}

void QtWindow::set_view(int page) {
    const int old = pages_->currentIndex();
    if (page < LIST_VIEW || page > PASSWORD_VIEW || page == old) return;
    // Hiding the page that holds the focus would let Qt hand the focus to
    // any control; move it to the new page quietly first, since changing
    // the page raises no event.
    QScopedValueRollback<bool> quiet(moving_focus_, true);
    QWidget* focused = focusWidget();
    if (focused && page_widgets_[old]->isAncestorOf(focused)) {
        QWidget* target = page == LIST_VIEW     ? static_cast<QWidget*>(list_)
                          : page == EDITOR_VIEW ? static_cast<QWidget*>(diary_)
                                                : static_cast<QWidget*>(new_password_);
        target->setFocus(Qt::OtherFocusReason);
    }
    pages_->setCurrentIndex(page);
}

void QtWindow::set_outer_size(int width, int height) {
    outer_ = QSize(width, height);
    apply_outer_size();
}

// ---- menus ----

QMenu* QtWindow::menu(Menu m) const {
    return menus_[index_of(m)];
}
QAction* QtWindow::item(MenuItem i) const {
    return items_[index_of(i)];
}

void QtWindow::rebuild_menu_bar() {
    // The two 编辑(&E) menus share a mnemonic: only the menus in the bar may
    // hold one, so hidden menus are taken out of the bar, not just hidden.
    QMenuBar* bar = menuBar();
    for (QMenu* m : menus_) bar->removeAction(m->menuAction());
    for (int i = 0; i < 4; ++i) {
        if (menu_shown_[i]) bar->addAction(menus_[i]->menuAction());
    }
}

void QtWindow::set_menu_enabled(Menu m, bool enabled) {
    menus_[index_of(m)]->menuAction()->setEnabled(enabled);
}

void QtWindow::set_menu_shown(Menu m, bool shown) {
    if (menu_shown_[index_of(m)] == shown) return;
    menu_shown_[index_of(m)] = shown;
    rebuild_menu_bar();
}

void QtWindow::set_item_enabled(MenuItem i, bool enabled) {
    items_[index_of(i)]->setEnabled(enabled);
}

void QtWindow::popup_menu(Menu m) {
    menus_[index_of(m)]->exec(QCursor::pos() + QPoint(3, 3));
}

// ---- the list ----

void QtWindow::sync_list_focus(bool clear_selection) {
    // The caret shows the focused entry, which the entry operations keep.
    QScopedValueRollback<bool> quiet(selecting_, true);
    QItemSelectionModel* selection = list_->selectionModel();
    if (clear_selection) selection->clearSelection();
    selection->setCurrentIndex(model_->index(state_.entry_index.focused_index),
                               QItemSelectionModel::NoUpdate);
}

void QtWindow::list_reset() {
    {
        QScopedValueRollback<bool> quiet(selecting_, true);
        model_->reset();
    }
    sync_list_focus(true);
}

void QtWindow::list_inserted(int index) {
    {
        QScopedValueRollback<bool> quiet(selecting_, true);
        model_->inserted(index);
    }
    sync_list_focus(false);
}

void QtWindow::list_removed(int index) {
    {
        QScopedValueRollback<bool> quiet(selecting_, true);
        model_->removed(index);
    }
    sync_list_focus(true);
}

void QtWindow::list_changed(int index) {
    model_->changed(index);
}

void QtWindow::select_list_item(int index) {
    const QModelIndex i = model_->index(index);
    if (!i.isValid()) return;
    QScopedValueRollback<bool> quiet(selecting_, true);
    list_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(i);
    // The caret moved with the selection; it is the focused entry.
    ui::on_list_caret_moved(state_, index);
}

// ---- edit boxes ----

QLineEdit* QtWindow::password_box(EditBox box) const {
    switch (box) {
        case EditBox::old_password:
            return old_password_;
        case EditBox::new_password:
            return new_password_;
        case EditBox::confirm_password:
            return confirm_password_;
        case EditBox::diary:
            break;
    }
    return nullptr;
}

std::string QtWindow::edit_text(EditBox box) const {
    if (box == EditBox::diary) return diary_->gbk();
    return to_gbk(password_box(box)->text());
}

void QtWindow::set_edit_text(EditBox box, std::string_view text) {
    if (box == EditBox::diary) return diary_->set_gbk(text);
    password_box(box)->setText(to_qstring(text));
}

std::string QtWindow::selected_text(EditBox box) const {
    if (box == EditBox::diary) return diary_->selected_gbk();
    return to_gbk(password_box(box)->selectedText());
}

void QtWindow::replace_selection(EditBox box, std::string_view text) {
    if (box == EditBox::diary) return diary_->replace_selection_gbk(text);
    password_box(box)->insert(to_qstring(text));
}

void QtWindow::set_edit_enabled(EditBox box, bool enabled) {
    if (box == EditBox::diary) return diary_->setEnabled(enabled);
    password_box(box)->setEnabled(enabled);
}

bool QtWindow::edit_enabled(EditBox box) const {
    if (box == EditBox::diary) return diary_->isEnabled();
    return password_box(box)->isEnabled();
}

void QtWindow::set_passwords_masked(bool masked) {
    for (QLineEdit* e : {old_password_, new_password_, confirm_password_}) {
        e->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    }
}

bool QtWindow::show_password_ticked() const {
    return show_password_->isChecked();
}

void QtWindow::set_mark_text(std::string_view text) {
    mark_->setText(to_qstring(text));
}

// ---- focus ----

QWidget* QtWindow::control_widget(Control control) const {
    switch (control) {
        case Control::list:
            return list_;
        case Control::diary:
            return diary_;
        case Control::old_password:
            return old_password_;
        case Control::new_password:
            return new_password_;
        case Control::confirm_password:
            return confirm_password_;
    }
    return list_;
}

void QtWindow::set_focus(Control control) {
    const bool was_confirm = confirm_focus_;
    const bool to_confirm = control == Control::confirm_password;
    {
        QScopedValueRollback<bool> quiet(moving_focus_, true);
        control_widget(control)->setFocus(Qt::OtherFocusReason);
    }
    // Qt delivers focus events only to an active window, and maybe later;
    // the handlers must run now, inside the calling handler. The focus
    // events that Qt sends afterwards find the state already in step.
    confirm_focus_ = to_confirm;
    if (destroying_) return;
    if (was_confirm && !to_confirm) ui::on_confirm_focus_out(state_, *this);
    if (!was_confirm && to_confirm) ui::on_confirm_focus_in(state_, *this);
}

void QtWindow::confirm_focus_event(QEvent* event) {
    const auto* fe = static_cast<QFocusEvent*>(event);
    // A menu opening over the box does not take the focus from it.
    if (fe->reason() == Qt::PopupFocusReason || fe->reason() == Qt::MenuBarFocusReason) return;
    const bool in = event->type() == QEvent::FocusIn;
    if (in == confirm_focus_) return;
    confirm_focus_ = in;
    if (moving_focus_ || destroying_) return;
    if (in) {
        ui::on_confirm_focus_in(state_, *this);
    } else {
        ui::on_confirm_focus_out(state_, *this);
    }
}

// ---- the character filter of the password boxes ----

bool QtWindow::filter_typed_text(QLineEdit* box, QEvent* event) {
    QString typed;
    if (event->type() == QEvent::KeyPress) {
        typed = static_cast<QKeyEvent*>(event)->text();
    } else {
        typed = static_cast<QInputMethodEvent*>(event)->commitString();
    }
    if (typed.isEmpty()) return false;
    QString accepted;
    bool refused = false;
    bool printable = false;
    for (char32_t c : typed.toUcs4()) {
        // Control characters are editing keys here (Backspace, Delete,
        // Ctrl+V), never characters put into the box.
        if (c < 0x20 || c == 0x7F) {
            accepted.append(QString::fromUcs4(&c, 1));
            continue;
        }
        printable = true;
        if (ui::filter_password_char(static_cast<std::uint32_t>(c)) == 0) {
            refused = true;
        } else {
            accepted.append(QString::fromUcs4(&c, 1));
        }
    }
    if (!printable || !refused) return false;
    if (event->type() == QEvent::KeyPress) {
        if (!accepted.isEmpty()) box->insert(accepted);
        return true;
    }
    // An input method's commit: pass it on with only the accepted characters.
    const auto* im = static_cast<QInputMethodEvent*>(event);
    QInputMethodEvent reduced(im->preeditString(), im->attributes());
    reduced.setCommitString(accepted, im->replacementStart(), im->replacementLength());
    QScopedValueRollback<bool> again(filtering_, true);
    QCoreApplication::sendEvent(box, &reduced);
    return true;
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == old_password_ || box == new_password_ || box == confirm_password_)) {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::InputMethod:
                if (!filtering_ && filter_typed_text(box, event)) return true;
                break;
            case QEvent::FocusIn:
            case QEvent::FocusOut:
                if (box == confirm_password_) confirm_focus_event(event);
                break;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- closing ----

void QtWindow::keyPressEvent(QKeyEvent* event) {
    // Esc anywhere in the window is a close request, as the close box is.
    if (event->key() == Qt::Key_Escape &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void QtWindow::closeEvent(QCloseEvent* event) {
    if (destroying_ || close_approved_) {
        event->accept();
        return;
    }
    event->setAccepted(run_close_query());
}

bool QtWindow::run_close_query() {
    // A close request while the query's own boxes are open waits for them.
    if (in_close_query_) return false;
    QScopedValueRollback<bool> busy(in_close_query_, true);
    return ui::close_query(state_, *this);
}

bool QtWindow::session_end_query() {
    if (destroying_) return true;
    close_approved_ = run_close_query();
    return close_approved_;
}

// ---- boxes ----

std::optional<std::string> QtWindow::file_dialog(bool save_mode, std::string_view title) {
    BookFileDialog dialog(this, save_mode, to_qstring(title), last_dialog_path_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    last_dialog_path_ = files.first();
    return QFile::encodeName(files.first()).toStdString();
}

Answer QtWindow::message_box(std::string_view text, std::string_view caption, Buttons buttons) {
    return show_message_box(this, text, caption, buttons);
}

std::optional<std::string> QtWindow::input_box(std::string_view prompt, std::string_view caption,
                                               std::string_view initial, InputMode mode,
                                               bool owned) {
    return show_input_box(owned ? this : nullptr, prompt, caption, initial, mode, mask_style_);
}

// ---- clipboard ----

bool QtWindow::set_clipboard_text(std::string_view text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    // Other programs here expect "\n" line breaks on the clipboard.
    clipboard->setText(to_qt_lines(text));
    return true;
}

std::optional<std::string> QtWindow::clipboard_text() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return std::nullopt;
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr || !data->hasText()) return std::nullopt;
    return to_gbk_lines(data->text());
}

// ---- waiting, dropping, ending ----

void QtWindow::wait_dispatching(int milliseconds) {
    QDeadlineTimer deadline(std::max(0, milliseconds), Qt::PreciseTimer);
    do {
        QEventLoop loop;
        QTimer::singleShot(std::max<qint64>(1, deadline.remainingTime()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    } while (!deadline.hasExpired());
}

void QtWindow::register_drop_target() {
    if (drops_registered_) return;
    drops_registered_ = true;
    setAcceptDrops(true);
}

void QtWindow::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void QtWindow::dragMoveEvent(QDragMoveEvent* event) {
    const Qt::DropAction action =
        drop_effect(event->mimeData(), event->possibleActions(), event->modifiers());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void QtWindow::dropEvent(QDropEvent* event) {
    const Qt::DropAction action =
        drop_effect(event->mimeData(), event->possibleActions(), event->modifiers());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
    const std::string text = dropped_files_text(event->mimeData()->urls());
    // Handled as one more window event once the drag has ended, so the
    // source is not held while the handler asks its questions.
    QMetaObject::invokeMethod(
        this, [this, text] { user_action([&] { ui::on_files_dropped(state_, *this, text); }); },
        Qt::QueuedConnection);
}

void QtWindow::destroy_and_exit(int code) {
    destroying_ = true;
    hide();
    std::fflush(nullptr);
    std::exit(code);
}

}  // namespace dova::ui::qt
