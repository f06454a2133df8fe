// Each event of the main window reaches its handler, through the real
// command procedures.
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "qt/box_answers.h"
#include "qt/window_fixture.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
using ui::Menu;
using ui::MenuItem;
namespace names = ui::qt::names;

namespace {

const MenuItem kEntryItems[] = {MenuItem::edit_content, MenuItem::retitle, MenuItem::insert_entry,
                                MenuItem::delete_entry};

QString box_text(QWidget* box) {
    auto* m = qobject_cast<QMessageBox*>(box);
    return m ? m->text() : QString();
}

}  // namespace

class WindowEventsTest : public QObject {
    Q_OBJECT
    WindowFixture f;

    QListView* list() const { return f.find<QListView>(names::LIST); }
    QPlainTextEdit* diary() const { return f.find<QPlainTextEdit>(names::DIARY); }
    QPoint row_centre(int row) const {
        return list()->visualRect(list()->model()->index(row, 0)).center();
    }
    bool entry_items_enabled() const {
        for (MenuItem i : kEntryItems) {
            if (!f.window->item(i)->isEnabled()) return false;
        }
        return true;
    }
    bool entry_items_disabled() const {
        for (MenuItem i : kEntryItems) {
            if (f.window->item(i)->isEnabled()) return false;
        }
        return true;
    }
    // The editor view on the first entry, through a double click.
    void open_first_entry() {
        // As a real double click arrives: press, release, double click, release.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
        QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
    }

  private slots:
    void init() {
        f.make();
        QVERIFY(f.show_active());
    }
    void cleanup() { f.drop(); }

    void menu_item_runs_its_command() {
        BoxAnswers answers{inspect(
            [](QWidget* box) {
                QCOMPARE(box->windowTitle(), QStringLiteral("请输入："));
                auto* prompt = box->findChild<QLabel*>(names::INPUT_PROMPT);
                QCOMPARE(prompt->text(), QStringLiteral("请输入日记标题"));
                auto* edit = box->findChild<QLineEdit*>(names::INPUT_EDIT);
                QVERIFY(edit->text().endsWith(QStringLiteral("日")));
                QCOMPARE(edit->selectedText(), edit->text());
            },
            enter_text(QStringLiteral("第一篇")))};
        f.window->item(MenuItem::new_entry)->trigger();
        QVERIFY(answers.all_used());
        QCOMPARE(list()->model()->rowCount(), 1);
        QCOMPARE(list()->model()->index(0, 0).data().toString(), QStringLiteral("第一篇"));
        QVERIFY(list()->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(list()->currentIndex().row(), 0);
        QVERIFY(entry_items_enabled());
        QVERIFY(f.state->modified);
    }

    // Every menu item runs its own command: each is told apart by the first
    // box it shows or by what it leaves behind.
    void every_menu_item_reaches_its_command() {
        auto title_or_text = [](QString* out) {
            return inspect(
                [out](QWidget* box) {
                    if (auto* m = qobject_cast<QMessageBox*>(box))
                        *out = m->text();
                    else if (auto* p = box->findChild<QLabel*>(names::INPUT_PROMPT))
                        *out = p->text();
                    else
                        *out = box->windowTitle();
                },
                reject());
        };
        struct Row {
            const char* action;
            bool modified;
            bool in_editor;
            QString first_box;  // empty: no box expected
            BoxAction answer;   // for the first box, or the rows' own answer
        };
        const Row rows[] = {
            {names::ACTION_NEW_BOOK, false, false, "是否延用当前密码", {}},
            {names::ACTION_OPEN, false, false, "请选择打开文件", {}},
            {names::ACTION_SAVE, true, false, "请选择保存目录", {}},
            {names::ACTION_ABOUT, false, false, "", {}},
            {names::ACTION_FEEDBACK, false, false, "", {}},
            {names::ACTION_RETITLE, false, false, "请输入日记标题", {}},
            {names::ACTION_DELETE_ENTRY, false, false, "删除后将无法还原，确认删除？", {}},
            {names::ACTION_EDITOR_BACK, false, true, "当前编辑的日记内容发生变化是否保存？", {}},
            {names::ACTION_LOAD_PASSWORD, false, false, "请选择打开日记本文件", {}},
            {names::ACTION_EXPORT_PASSWORD, false, false, "请选择保存路径", {}},
        };
        for (const Row& row : rows) {
            f.make();
            QVERIFY(f.show_active());
            f.load_book({{"a", "1"}, {"b", "2"}});
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
            if (row.in_editor) {
                open_first_entry();
                diary()->appendPlainText(QStringLiteral("changed"));
            }
            f.state->book_password = "pw";
            f.state->modified = row.modified;
            QString first;
            {
                BoxAnswers answers{title_or_text(&first)};
                QAction* a = f.window->findChild<QAction*>(row.action);
                QVERIFY2(a, row.action);
                a->trigger();
            }
            if (QString(row.action) == names::ACTION_ABOUT) {
                QVERIFY2(first.contains(QStringLiteral("请妥善保管密码")), qPrintable(first));
            } else {
                QVERIFY2(first == row.first_box, row.action);
            }
        }
        // Told apart by what they leave: 新建日记 appends, 插入日记 inserts
        // before the focused entry; 保存 in the editor stores without asking.
        for (const char* action : {names::ACTION_NEW_ENTRY, names::ACTION_INSERT_ENTRY}) {
            f.make();
            QVERIFY(f.show_active());
            f.load_book({{"a", "1"}});
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
            BoxAnswers answers{enter_text(QStringLiteral("新"))};
            f.window->findChild<QAction*>(action)->trigger();
            const int row = QString(action) == names::ACTION_NEW_ENTRY ? 1 : 0;
            QCOMPARE(list()->model()->index(row, 0).data().toString(), QStringLiteral("新"));
        }
        f.make();
        QVERIFY(f.show_active());
        f.load_book({{"a", "1"}});
        open_first_entry();
        type_text(diary(), QStringLiteral("2"));
        {
            BoxAnswers none;
            f.window->item(MenuItem::editor_save)->trigger();
            QVERIFY(none.all_used());
        }
        QCOMPARE(f.state->editor_baseline, std::string("21"));
        // 另存为 with nothing to write leaves the book without a path; 保存 keeps it.
        for (const char* action : {names::ACTION_SAVE, names::ACTION_SAVE_AS}) {
            f.make();
            f.state->path_list = {"/tmp/kept.dova"};
            BoxAnswers none;
            f.window->findChild<QAction*>(action)->trigger();
            QVERIFY(none.all_used());
            QCOMPARE(f.state->path_list.empty(), QString(action) == names::ACTION_SAVE_AS);
        }
    }

    void user_selection_enables_the_entry_commands() {
        f.load_book({{"a", "1"}, {"b", "2"}, {"c", "3"}});
        QVERIFY(entry_items_disabled());
        // The first item holds the caret without being selected; clicking it
        // is still a selection.
        QCOMPARE(list()->currentIndex().row(), 0);
        QVERIFY(!list()->selectionModel()->hasSelection());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
        QVERIFY(entry_items_enabled());
        QCOMPARE(f.state->entry_index.focused_index, 0);

        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(2));
        QCOMPARE(f.state->entry_index.focused_index, 2);
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(f.state->entry_index.focused_index, 1);
        QVERIFY(list()->selectionModel()->isRowSelected(1, {}));
    }

    void program_selection_raises_no_event() {
        f.load_book({{"a", "1"}, {"b", "2"}});
        f.window->select_list_item(1);
        QVERIFY(entry_items_disabled());
        QCOMPARE(f.state->entry_index.focused_index, 1);
        QCOMPARE(list()->currentIndex().row(), 1);
        QVERIFY(list()->selectionModel()->isRowSelected(1, {}));
    }

    void list_changes_keep_the_caret_in_step() {
        f.load_book({{"a", "1"}, {"b", "2"}, {"c", "3"}});
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(2));
        // Deleting the last entry moves the caret to the new last one, with
        // nothing selected and no selection event.
        f.window->item(MenuItem::new_entry)->setEnabled(false);
        {
            BoxAnswers answers{inspect(
                [](QWidget* box) {
                    QCOMPARE(box_text(box), QStringLiteral("删除后将无法还原，确认删除？"));
                    QCOMPARE(qobject_cast<QMessageBox*>(box)->icon(), QMessageBox::Warning);
                },
                click(names::BUTTON_OK))};
            f.window->item(MenuItem::delete_entry)->trigger();
            QVERIFY(answers.all_used());
        }
        QCOMPARE(list()->model()->rowCount(), 2);
        QCOMPARE(f.state->entry_index.focused_index, 1);
        QCOMPARE(list()->currentIndex().row(), 1);
        QVERIFY(!list()->selectionModel()->hasSelection());
        QVERIFY(entry_items_enabled());
        // A retitle changes the text in place: selection and caret stay.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
        {
            BoxAnswers answers{enter_text(QStringLiteral("新标题"))};
            f.window->item(MenuItem::retitle)->trigger();
        }
        QCOMPARE(list()->model()->index(0, 0).data().toString(), QStringLiteral("新标题"));
        QVERIFY(list()->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(list()->currentIndex().row(), 0);
    }

    void right_click_on_the_list_pops_up_the_main_menu() {
        f.load_book({{"a", "1"}, {"b", "2"}});
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row_centre(0));
        QCursor::setPos(list()->viewport()->mapToGlobal(row_centre(1)));
        const QPoint expected = QCursor::pos() + QPoint(3, 3);
        BoxAnswers answers{inspect(
                               [expected](QWidget* popup) {
                                   QCOMPARE(popup->objectName(), QString(names::MENU_MAIN_EDIT));
                                   QCOMPARE(popup->pos(), expected);
                               },
                               choose_item(names::ACTION_NEW_ENTRY)),
                           enter_text(QStringLiteral("从菜单"))};
        // The right button neither selects nor moves the caret.
        QTest::mousePress(list()->viewport(), Qt::RightButton, {}, row_centre(1));
        QCOMPARE(f.state->entry_index.focused_index, 0);
        QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, row_centre(1));
        QVERIFY(answers.all_used());
        // The chosen item ran the same command as from the menu bar.
        QCOMPARE(list()->model()->rowCount(), 3);
        QCOMPARE(list()->model()->index(2, 0).data().toString(), QStringLiteral("从菜单"));
    }

    void double_click_opens_the_editor() {
        f.load_book({{"a", gbk("第一行\r\n第二行")}});
        open_first_entry();
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);
        QCOMPARE(f.window->frameGeometry().size(), QSize(340, 287));
        QCOMPARE(f.bar_menus(),
                 (QStringList{names::MENU_PROGRAM, names::MENU_EDITOR_EDIT, names::MENU_ACCOUNT}));
        QCOMPARE(diary()->toPlainText(), QStringLiteral("第一行\n第二行\n"));
        QCOMPARE(f.window->edit_text(ui::EditBox::diary), gbk("第一行\r\n第二行\r\n"));
        QVERIFY(diary()->hasFocus());
    }

    void editor_buttons_store_and_leave() {
        f.load_book({{"a", "abc"}});
        open_first_entry();
        diary()->moveCursor(QTextCursor::End);
        type_text(diary(), QStringLiteral("加"));
        f.find<QPushButton>(names::SAVE_BUTTON)->click();
        QCOMPARE(f.state->editor_baseline, gbk("abc\r\n加"));
        QVERIFY(f.state->modified);
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);

        QTest::keyClicks(diary(), QStringLiteral("x"));
        {
            // Cancel in the question keeps the editor and its text.
            BoxAnswers answers{inspect(
                [](QWidget* box) {
                    QCOMPARE(box_text(box), QStringLiteral("当前编辑的日记内容发生变化是否保存？"));
                },
                click(names::BUTTON_CANCEL))};
            f.find<QPushButton>(names::BACK_BUTTON)->click();
            QVERIFY(answers.all_used());
        }
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);
        QCOMPARE(diary()->toPlainText(), QStringLiteral("abc\n加x"));
        {
            BoxAnswers answers{click(names::BUTTON_NO)};
            f.find<QPushButton>(names::BACK_BUTTON)->click();
            QVERIFY(answers.all_used());
        }
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        QCOMPARE(f.window->frameGeometry().size(), QSize(180, 200));
        QVERIFY(diary()->toPlainText().isEmpty());
        QCOMPARE(f.bar_menus(),
                 (QStringList{names::MENU_PROGRAM, names::MENU_MAIN_EDIT, names::MENU_ACCOUNT}));
    }

    void right_click_in_the_editor() {
        f.load_book({{"a", "abc"}});
        open_first_entry();
        {
            // Nothing selected: the program's editor menu.
            BoxAnswers answers{inspect(
                [](QWidget* popup) {
                    QCOMPARE(popup->objectName(), QString(names::MENU_EDITOR_EDIT));
                },
                reject())};
            QTest::mouseClick(diary()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
            QVERIFY(answers.all_used());
        }
        // Text selected: the edit box's own menu.
        diary()->selectAll();
        QTest::mouseClick(diary()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), QString(names::DIARY_CONTEXT_MENU));
        popup->close();
        QCOMPARE(diary()->textCursor().selectedText(), QStringLiteral("abc\u2029"));
    }

    void copy_and_paste_use_the_clipboard() {
        f.load_book({{"a", gbk("中文\r\n第二行")}});
        open_first_entry();
        diary()->selectAll();
        f.window->item(MenuItem::copy)->trigger();
        // The whole text, the added line break too; "\n" on this clipboard.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("中文\n第二行\n"));
        QCOMPARE(f.window->clipboard_text(), std::optional(gbk("中文\r\n第二行\r\n")));

        QGuiApplication::clipboard()->setText(QStringLiteral("贴上\n两行"));
        QTextCursor c = diary()->textCursor();
        c.setPosition(0);
        c.setPosition(2, QTextCursor::KeepAnchor);  // "中文"
        diary()->setTextCursor(c);
        f.window->item(MenuItem::paste)->trigger();
        QCOMPARE(diary()->toPlainText(), QStringLiteral("贴上\n两行\n第二行\n"));
        // One step of the edit box's undo takes the whole paste back.
        diary()->undo();
        QCOMPARE(diary()->toPlainText(), QStringLiteral("中文\n第二行\n"));
        QCOMPARE(f.window->edit_text(ui::EditBox::diary), gbk("中文\r\n第二行\r\n"));
    }

    void waiting_goes_on_dispatching_events() {
        bool ran = false;
        QTimer::singleShot(0, f.window.get(), [&ran] { ran = true; });
        QElapsedTimer waited;
        waited.start();
        f.window->wait_dispatching(30);
        QVERIFY(ran);
        QVERIFY(waited.elapsed() >= 30);
    }

    void password_page_controls() {
        f.window->item(MenuItem::change_password)->trigger();
        QCOMPARE(f.window->view(), ui::PASSWORD_VIEW);
        QVERIFY(!f.find<QLineEdit>(names::OLD_PASSWORD)->isEnabled());
        QVERIFY(f.find<QLineEdit>(names::NEW_PASSWORD)->hasFocus());
        QVERIFY(!f.window->menu(Menu::main_edit)->menuAction()->isEnabled());

        f.find<QCheckBox>(names::SHOW_PASSWORD)->click();
        for (const char* name :
             {names::OLD_PASSWORD, names::NEW_PASSWORD, names::CONFIRM_PASSWORD}) {
            QCOMPARE(f.find<QLineEdit>(name)->echoMode(), QLineEdit::Normal);
        }
        f.find<QCheckBox>(names::SHOW_PASSWORD)->click();
        QCOMPARE(f.find<QLineEdit>(names::NEW_PASSWORD)->echoMode(), QLineEdit::Password);

        QTest::keyClicks(f.find<QLineEdit>(names::NEW_PASSWORD), QStringLiteral("pw1"));
        QTest::keyClicks(f.find<QLineEdit>(names::CONFIRM_PASSWORD), QStringLiteral("pw1"));
        {
            BoxAnswers answers{
                inspect([](QWidget* box) { QCOMPARE(box_text(box), QStringLiteral("修改成功")); },
                        click(names::BUTTON_OK))};
            f.find<QPushButton>(names::CONFIRM_BUTTON)->click();
            QVERIFY(answers.all_used());
        }
        QCOMPARE(f.state->book_password, std::string("pw1"));
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        QVERIFY(f.find<QLineEdit>(names::NEW_PASSWORD)->text().isEmpty());

        f.window->item(MenuItem::change_password)->trigger();
        QVERIFY(f.find<QLineEdit>(names::OLD_PASSWORD)->isEnabled());
        // (The window may not be active again after the box: ask for its focus child.)
        QCOMPARE(f.window->focusWidget(), f.find<QWidget>(names::OLD_PASSWORD));
        f.find<QPushButton>(names::CANCEL_BUTTON)->click();
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        QCOMPARE(f.window->focusWidget(), list());
        QVERIFY(f.window->menu(Menu::main_edit)->menuAction()->isEnabled());
    }
};

QTEST_MAIN(WindowEventsTest)
#include "window_events_test.moc"
