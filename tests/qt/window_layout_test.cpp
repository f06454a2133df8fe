// The frame, the pages, every control's place and settings, and the menu bar
// of the main window in each view.
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QtTest>

#include "qt/box_answers.h"
#include "qt/window_fixture.h"
#include "ui/qt/list_font.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
using ui::Menu;
using ui::MenuItem;

class WindowLayoutTest : public QObject {
    Q_OBJECT
    WindowFixture f;

  private slots:
    void init() { f.make(); }
    void cleanup() { f.drop(); }

    void created_window_is_fixed_centred_and_untitled() {
        const Qt::WindowFlags flags = f.window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(f.window->windowTitle().isEmpty());
        QVERIFY(!f.window->isVisible());
        QVERIFY(f.show_active());
        // The user cannot resize it.
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        const QRect frame = f.window->frameGeometry();
        QCOMPARE(frame.size(), QSize(340, 320));
        const QPoint centre = f.window->screen()->availableGeometry().center();
        QVERIFY(qAbs(frame.center().x() - centre.x()) <= 1);
        QVERIFY(qAbs(frame.center().y() - centre.y()) <= 1);
    }

    void outer_sizes_include_the_frame_and_keep_the_top_left_data() {
        QTest::addColumn<bool>("shown_first");
        QTest::newRow("set while hidden") << false;
        QTest::newRow("set while shown") << true;
    }
    void outer_sizes_include_the_frame_and_keep_the_top_left() {
        QFETCH(bool, shown_first);
        if (shown_first) QVERIFY(f.show_active());
        f.window->set_outer_size(180, 200);
        if (!shown_first) QVERIFY(f.show_active());
        const QPoint corner = f.window->frameGeometry().topLeft();
        QCOMPARE(f.window->frameGeometry().size(), QSize(180, 200));
        for (QSize s : {QSize(340, 287), QSize(180, 200), QSize(340, 287)}) {
            f.window->set_outer_size(s.width(), s.height());
            QCOMPARE(f.window->frameGeometry().size(), s);
            QCOMPARE(f.window->frameGeometry().topLeft(), corner);
            QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        }
    }

    void page_container_has_three_pages_and_no_tab_strip() {
        auto* pages = f.find<QStackedWidget>(ui::qt::names::PAGES);
        QVERIFY(pages);
        QCOMPARE(pages->geometry(), QRect(0, 0, 336, 240));
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(pages->frameShape(), QFrame::NoFrame);
        QVERIFY(f.window->findChildren<QTabBar*>().isEmpty());
        // Changing the page shows only that page's controls.
        f.window->set_view(ui::EDITOR_VIEW);
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);
        QVERIFY(f.show_active());
        // The container starts at the top-left of the client area, under the menu bar.
        QCOMPARE(pages->mapTo(f.window.get(), QPoint(0, 0)),
                 QPoint(0, f.window->menuBar()->height()));
        QVERIFY(f.find<QWidget>(ui::qt::names::DIARY)->isVisible());
        QVERIFY(!f.find<QWidget>(ui::qt::names::LIST)->isVisible());
        QVERIFY(!f.find<QWidget>(ui::qt::names::OLD_PASSWORD)->isVisible());
    }

    void controls_sit_at_their_places_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("text");
        using namespace ui::qt::names;
        auto row = [](const char* name, const char* page, QRect r, const char* text) {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(page) << r
                                << QString::fromUtf8(text);
        };
        row(LIST, LIST_PAGE, {7, 8, 160, 137}, "");
        row(DIARY, EDITOR_PAGE, {8, 8, 320, 200}, "");
        row(SAVE_BUTTON, EDITOR_PAGE, {200, 211, 48, 22}, "保存");
        row(BACK_BUTTON, EDITOR_PAGE, {280, 211, 48, 22}, "返回");
        row(OLD_LABEL, PASSWORD_PAGE, {7, 12, 40, 24}, "旧密码");
        row(OLD_PASSWORD, PASSWORD_PAGE, {51, 10, 110, 24}, "");
        row(NEW_LABEL, PASSWORD_PAGE, {7, 45, 40, 24}, "新密码");
        row(NEW_PASSWORD, PASSWORD_PAGE, {51, 44, 110, 24}, "");
        row(CONFIRM_LABEL, PASSWORD_PAGE, {2, 80, 53, 24}, "确认密码");
        row(CONFIRM_PASSWORD, PASSWORD_PAGE, {51, 78, 110, 24}, "");
        row(MARK_LABEL, PASSWORD_PAGE, {162, 80, 16, 24}, "");
        row(CONFIRM_BUTTON, PASSWORD_PAGE, {68, 113, 40, 24}, "确认");
        row(CANCEL_BUTTON, PASSWORD_PAGE, {121, 113, 40, 24}, "取消");
    }
    void controls_sit_at_their_places() {
        QFETCH(QString, name);
        QFETCH(QString, page);
        QFETCH(QRect, rect);
        QFETCH(QString, text);
        auto* w = f.window->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->parentWidget()->objectName(), page);
        QCOMPARE(w->geometry(), rect);
        QVERIFY(w->isEnabled());
        QString shown;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) shown = b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) shown = l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) shown = e->text();
        QCOMPARE(shown, text);
    }

    void show_password_box_sits_left_of_the_buttons() {
        // Its text needs more room than the form's 50 pixels in a Chinese
        // font; the box may only grow within the page margin and the buttons.
        auto* box = f.find<QCheckBox>(ui::qt::names::SHOW_PASSWORD);
        QCOMPARE(box->parentWidget()->objectName(), QString(ui::qt::names::PASSWORD_PAGE));
        QCOMPARE(box->text(), QStringLiteral("显示密码"));
        const QRect r = box->geometry();
        QCOMPARE(r.top(), 114);
        QCOMPARE(r.height(), 24);
        QVERIFY(r.left() >= 2 && r.left() <= 10);
        QVERIFY(r.right() < 68 && r.width() >= 50);
    }

    void control_settings() {
        using namespace ui::qt::names;
        // The fixed places are made for a 12-pixel interface font.
        QCOMPARE(f.window->font().pixelSize(), 12);
        auto* list = f.find<QListView>(LIST);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(list->uniformItemSizes());
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        auto* diary = f.find<QPlainTextEdit>(DIARY);
        QCOMPARE(diary->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(diary->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(diary->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!diary->isReadOnly());
        // Without the focus the selection does not show.
        QCOMPARE(diary->palette().color(QPalette::Inactive, QPalette::Highlight),
                 diary->palette().color(QPalette::Inactive, QPalette::Base));

        for (const char* name : {OLD_PASSWORD, NEW_PASSWORD, CONFIRM_PASSWORD}) {
            auto* e = f.find<QLineEdit>(name);
            QCOMPARE(e->maxLength(), 16);
            QCOMPARE(e->echoMode(), QLineEdit::Password);
            QCOMPARE(e->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, e),
                     int('*'));
        }
        auto* mark = f.find<QLabel>(MARK_LABEL);
        QCOMPARE(mark->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(!f.find<QCheckBox>(SHOW_PASSWORD)->isChecked());
    }

    void no_button_is_a_default_button() {
        for (QPushButton* b : f.window->findChildren<QPushButton*>()) {
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
        }
        // Enter on a focused button does not click it.
        f.window->set_view(ui::EDITOR_VIEW);
        QVERIFY(f.show_active());
        auto* save = f.find<QPushButton>(ui::qt::names::SAVE_BUTTON);
        save->setFocus();
        QSignalSpy clicks(save, &QPushButton::clicked);
        QTest::keyClick(save, Qt::Key_Return);
        QTest::keyClick(save, Qt::Key_Enter);
        QCOMPARE(clicks.count(), 0);
    }

    void list_font_and_item_height() {
        auto* list = f.find<QListView>(ui::qt::names::LIST);
        const QFont font = list->font();
        QCOMPARE(font.pixelSize(), 14);
        QCOMPARE(font.weight(), QFont::Normal);
        // The chosen font has the Chinese characters itself, no fallback.
        const QFontMetrics metrics(font);
        for (QChar c : QStringLiteral("日记本新建")) QVERIFY(metrics.inFont(c));
        f.add_entries({"a", "b"});
        QVERIFY(f.show_active());
        QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), metrics.height() + 5);
        QCOMPARE(ui::qt::list_item_height(font), metrics.height() + 5);
    }

    void menus_at_creation() {
        using namespace ui::qt::names;
        QCOMPARE(f.bar_menus(), (QStringList{MENU_PROGRAM, MENU_MAIN_EDIT, MENU_ACCOUNT}));
        struct Expected {
            Menu menu;
            QString title;
            QStringList items;  // "-" for a separator, "!" before a disabled item
        };
        const Expected expected[] = {
            {Menu::program,
             "程序(&F)",
             {"新建本(&N)", "打开(&O)", "保存(&S)", "另存为(&A)", "-", "关于", "反馈", "-",
              "退出(&X)"}},
            {Menu::main_edit,
             "编辑(&E)",
             {"!编辑内容", "!修改标题", "-", "新建日记", "!插入日记", "!删除日记"}},
            {Menu::editor_edit, "编辑(&E)", {"复制", "粘贴", "-", "保存", "返回"}},
            {Menu::account, "帐号(&V)", {"修改密码", "-", "加载密码", "导出密码"}},
        };
        for (const Expected& e : expected) {
            QMenu* m = f.window->menu(e.menu);
            QCOMPARE(m->title(), e.title);
            QVERIFY(m->menuAction()->isEnabled());
            QStringList items;
            for (QAction* a : m->actions()) {
                QVERIFY(a->shortcut().isEmpty());
                items << (a->isSeparator() ? QStringLiteral("-")
                                           : (a->isEnabled() ? "" : "!") + a->text());
            }
            QCOMPARE(items, e.items);
        }
    }

    // The views as the procedures set them up; the bar holds only the menus
    // shown, and Alt+E opens the one in the bar, every time.
    void menu_bar_per_view_data() {
        QTest::addColumn<bool>("main_shown");
        QTest::addColumn<bool>("editor_shown");
        QTest::addColumn<bool>("edit_enabled");
        QTest::addColumn<QString>("alt_e_opens");
        QTest::newRow("list view") << true << false << true << "menu_main_edit";
        QTest::newRow("editor view") << false << true << true << "menu_editor_edit";
        QTest::newRow("password view") << true << false << false << "";
    }
    void menu_bar_per_view() {
        QFETCH(bool, main_shown);
        QFETCH(bool, editor_shown);
        QFETCH(bool, edit_enabled);
        QFETCH(QString, alt_e_opens);
        using namespace ui::qt::names;
        QVERIFY(f.show_active());
        // Round trip through the other states first, as the views switch.
        f.window->set_menu_shown(Menu::main_edit, false);
        f.window->set_menu_shown(Menu::editor_edit, true);
        f.window->set_menu_shown(Menu::editor_edit, false);
        f.window->set_menu_shown(Menu::main_edit, true);

        f.window->set_menu_shown(Menu::main_edit, main_shown);
        f.window->set_menu_shown(Menu::editor_edit, editor_shown);
        f.window->set_menu_enabled(Menu::main_edit, edit_enabled);
        f.window->set_menu_enabled(Menu::editor_edit, edit_enabled);
        QStringList expected{MENU_PROGRAM};
        if (main_shown) expected << MENU_MAIN_EDIT;
        if (editor_shown) expected << MENU_EDITOR_EDIT;
        expected << MENU_ACCOUNT;
        QCOMPARE(f.bar_menus(), expected);
        QCOMPARE(f.window->menu(Menu::main_edit)->menuAction()->isEnabled(), edit_enabled);

        for (int round = 0; round < 3; ++round) {
            QTest::keyClick(f.window.get(), Qt::Key_E, Qt::AltModifier);
            QWidget* popup = QApplication::activePopupWidget();
            if (alt_e_opens.isEmpty()) {
                QVERIFY2(popup == nullptr, "a disabled menu opened");
            } else {
                QVERIFY2(popup, "Alt+E opened no menu");
                QCOMPARE(popup->objectName(), alt_e_opens);
                popup->close();
            }
        }
        // 程序(&F) and 帐号(&V) work in every view.
        QTest::keyClick(f.window.get(), Qt::Key_V, Qt::AltModifier);
        QWidget* account = QApplication::activePopupWidget();
        QVERIFY(account);
        QCOMPARE(account->objectName(), QString(MENU_ACCOUNT));
        account->close();
    }

    void item_states_follow_the_procedures() {
        f.window->set_item_enabled(MenuItem::delete_entry, true);
        QVERIFY(f.window->item(MenuItem::delete_entry)->isEnabled());
        f.window->set_item_enabled(MenuItem::new_entry, false);
        QVERIFY(!f.window->item(MenuItem::new_entry)->isEnabled());
        QCOMPARE(f.window->item(MenuItem::quit)->objectName(), QString(ui::qt::names::ACTION_QUIT));
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
