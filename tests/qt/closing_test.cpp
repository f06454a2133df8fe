// Closing the window: Esc and the close box in each view, the session
// manager's question at log-off, and the end of the program.
#include <sys/wait.h>
#include <unistd.h>

#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QtTest>

#include "qt/box_answers.h"
#include "qt/window_fixture.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
using ui::MenuItem;
namespace names = ui::qt::names;

namespace {

enum class Trigger { esc, close_box };

bool in_forked_child = false;

}  // namespace

// A forked child has only the thread that forked: what Qt's other threads
// (glib, fontconfig) held looks leaked at its exit. The leak check stays on
// in the test process itself.
extern "C" int __lsan_is_turned_off() {
    return in_forked_child ? 1 : 0;
}

namespace {

// Runs `act` in a child process; its exit code, or -1 when it did not end
// by itself within a few seconds (then it is killed).
int exit_code_of_child(const std::function<void()>& act) {
    const pid_t pid = fork();
    if (pid == 0) {
        in_forked_child = true;
        act();
        _exit(100);  // act returned: not what is being tested
    }
    for (int i = 0; i < 1000; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        }
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace

Q_DECLARE_METATYPE(Trigger)

class ClosingTest : public QObject {
    Q_OBJECT
    WindowFixture f;

    void request_close(Trigger how) {
        if (how == Trigger::close_box) {
            f.window->close();
        } else {
            QWidget* target = f.window->focusWidget() ? f.window->focusWidget() : f.window.get();
            QTest::keyClick(target, Qt::Key_Escape);
        }
    }
    void enter_editor_with(const char* body) {
        f.load_book({{"t", body}});
        auto* list = f.find<QListView>(names::LIST);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        f.window->item(MenuItem::edit_content)->trigger();
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);
    }

  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        f.make();
        f.window->set_outer_size(ui::LIST_WIDTH, ui::LIST_HEIGHT);
        QVERIFY(f.show_active());
    }
    void cleanup() { f.drop(); }

    void list_view_data() {
        QTest::addColumn<Trigger>("how");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("answer");  // button in "是否保存", or "" for none asked
        QTest::addColumn<bool>("closes");
        for (Trigger how : {Trigger::esc, Trigger::close_box}) {
            const char* t = how == Trigger::esc ? "esc" : "close box";
            QTest::addRow("%s, unmodified", t) << how << false << "" << true;
            QTest::addRow("%s, modified, no", t) << how << true << names::BUTTON_NO << true;
            // Esc in "是否保存" does not answer it; No then closes without saving.
            QTest::addRow("%s, modified, box escaped", t) << how << true << "esc" << true;
        }
    }
    void list_view() {
        QFETCH(Trigger, how);
        QFETCH(bool, modified);
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        f.state->modified = modified;
        BoxAnswers answers;
        if (answer == QStringLiteral("esc")) {
            answers.then([](QWidget* box) {
                QTest::keyClick(box, Qt::Key_Escape);
                box->close();
                QVERIFY(QApplication::activeModalWidget() == box);
                click(names::BUTTON_NO)(box);
            });
        } else if (!answer.isEmpty()) {
            answers.then(inspect(
                [](QWidget* box) {
                    QCOMPARE(qobject_cast<QMessageBox*>(box)->text(), QStringLiteral("是否保存"));
                },
                click(answer)));
        }
        request_close(how);
        QVERIFY(answers.all_used());
        QCOMPARE(!f.window->isVisible(), closes);
    }

    void editor_view_leaves_the_editor_data() {
        QTest::addColumn<Trigger>("how");
        QTest::newRow("esc") << Trigger::esc;
        QTest::newRow("close box") << Trigger::close_box;
    }
    void editor_view_leaves_the_editor() {
        QFETCH(Trigger, how);
        enter_editor_with("abc");
        request_close(how);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        QCOMPARE(f.window->frameGeometry().size(), QSize(180, 200));
        // A second request in the list view closes the unmodified book.
        request_close(how);
        QVERIFY(!f.window->isVisible());
    }

    void editor_view_with_changes_asks_first() {
        enter_editor_with("abc");
        f.find<QPlainTextEdit>(names::DIARY)->appendPlainText(QStringLiteral("def"));
        {
            BoxAnswers answers{click(names::BUTTON_CANCEL)};
            request_close(Trigger::esc);
            QVERIFY(answers.all_used());
        }
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);
        {
            BoxAnswers answers{click(names::BUTTON_YES)};
            request_close(Trigger::close_box);
            QVERIFY(answers.all_used());
        }
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        QVERIFY(f.state->modified);
    }

    void password_view_returns_to_the_list_data() {
        QTest::addColumn<Trigger>("how");
        QTest::newRow("esc") << Trigger::esc;
        QTest::newRow("close box") << Trigger::close_box;
    }
    void password_view_returns_to_the_list() {
        QFETCH(Trigger, how);
        f.window->item(MenuItem::change_password)->trigger();
        QCOMPARE(f.window->view(), ui::PASSWORD_VIEW);
        auto* fresh = f.find<QLineEdit>(names::NEW_PASSWORD);
        type_text(fresh, QStringLiteral("kept"));
        request_close(how);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        QCOMPARE(fresh->text(), QStringLiteral("kept"));
    }

    void log_off_asks_the_close_query_once() {
        f.state->modified = true;
        {
            BoxAnswers answers{click(names::BUTTON_NO)};
            QVERIFY(f.window->session_end_query());
            QVERIFY(answers.all_used());
        }
        {
            // The session then closes the window: nothing is asked again.
            BoxAnswers answers;
            f.window->close();
            QVERIFY(answers.all_used());
        }
        QVERIFY(!f.window->isVisible());
    }

    void log_off_can_be_cancelled_and_the_user_goes_on() {
        enter_editor_with("abc");
        f.find<QPlainTextEdit>(names::DIARY)->appendPlainText(QStringLiteral("def"));
        {
            BoxAnswers answers{click(names::BUTTON_CANCEL)};
            QVERIFY(!f.window->session_end_query());
        }
        QCOMPARE(f.window->view(), ui::EDITOR_VIEW);
        // In the editor view the query only leaves the editor: no log-off yet.
        {
            BoxAnswers answers{click(names::BUTTON_NO)};
            QVERIFY(!f.window->session_end_query());
        }
        QCOMPARE(f.window->view(), ui::LIST_VIEW);
        f.state->modified = true;
        {
            BoxAnswers answers{click(names::BUTTON_NO)};
            QVERIFY(f.window->session_end_query());
        }
        // Another program cancelled the log-off and the user goes on working:
        // the approval is forgotten.
        {
            BoxAnswers answers{reject()};
            f.window->item(MenuItem::new_entry)->trigger();
        }
        {
            BoxAnswers answers{click(names::BUTTON_NO)};
            f.window->close();
            QVERIFY(answers.all_used());
        }
        QVERIFY(!f.window->isVisible());
    }

    void destroy_and_exit_ends_the_process_without_the_close_query() {
        f.state->modified = true;  // a close query would ask and never end
        const int code = exit_code_of_child([&] { f.window->destroy_and_exit(7); });
        QCOMPARE(code, 7);
    }

    void quit_ends_the_program_with_code_zero() {
        const int code = exit_code_of_child([&] { f.window->item(MenuItem::quit)->trigger(); });
        QCOMPARE(code, 0);
    }
};

QTEST_MAIN(ClosingTest)
#include "closing_test.moc"
