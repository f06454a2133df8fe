// The password boxes: the character filter, the 16-character limit, the
// "*" mask and the focus events of the confirmation box.
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "qt/window_fixture.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
namespace names = ui::qt::names;

class PasswordBoxesTest : public QObject {
    Q_OBJECT
    WindowFixture f;

    QLineEdit* box(const char* name) const { return f.find<QLineEdit>(name); }
    QLineEdit* confirm() const { return box(names::CONFIRM_PASSWORD); }
    QString mark() const { return f.find<QLabel>(names::MARK_LABEL)->text(); }

    // The password page with a new password and a confirmation that differ,
    // the focus in the new box.
    void differing_texts() {
        f.window->set_view(ui::PASSWORD_VIEW);
        box(names::NEW_PASSWORD)->setText(QStringLiteral("abc"));
        confirm()->setText(QStringLiteral("abd"));
        f.window->set_focus(ui::Control::new_password);
    }

  private slots:
    void init() {
        f.make();
        QVERIFY(f.show_active());
    }
    void cleanup() { f.drop(); }

    void typed_characters_are_filtered_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("ascii letters, digits, blank, punctuation") << "aZ9 !~"
                                                                   << "aZ9 !~";
        QTest::newRow("chinese refused") << "a中b"
                                         << "ab";
        QTest::newRow("latin-1 refused") << QStringLiteral("xéy") << "xy";
        QTest::newRow("emoji refused") << QStringLiteral("1😀2") << "12";
    }
    void typed_characters_are_filtered() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        for (const char* name :
             {names::OLD_PASSWORD, names::NEW_PASSWORD, names::CONFIRM_PASSWORD}) {
            QLineEdit* b = box(name);
            b->clear();
            type_text(b, typed);  // one key press per character
            QCOMPARE(b->text(), kept);
            b->clear();
            // Several characters in one event, as an input method sends them.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
            QApplication::sendEvent(b, &press);
            QCOMPARE(b->text(), kept);
        }
    }

    void editing_keys_still_work() {
        QLineEdit* b = box(names::NEW_PASSWORD);
        type_text(b, QStringLiteral("abcd"));
        QTest::keyClick(b, Qt::Key_Backspace);
        QCOMPARE(b->text(), QStringLiteral("abc"));
        QTest::keyClick(b, Qt::Key_Home);
        QTest::keyClick(b, Qt::Key_Delete);
        QCOMPARE(b->text(), QStringLiteral("bc"));
    }

    void input_method_commits_are_filtered() {
        QLineEdit* b = box(names::NEW_PASSWORD);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("中a文b"));
        QApplication::sendEvent(b, &commit);
        QCOMPARE(b->text(), QStringLiteral("ab"));
    }

    void pasted_text_is_not_filtered_but_limited() {
        QLineEdit* b = box(names::NEW_PASSWORD);
        QGuiApplication::clipboard()->setText(QStringLiteral("中文密码"));
        b->setFocus();
        QTest::keyClick(b, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(b->text(), QStringLiteral("中文密码"));
        QCOMPARE(f.window->edit_text(ui::EditBox::new_password), gbk("中文密码"));
    }

    void the_seventeenth_character_is_refused() {
        QLineEdit* b = box(names::OLD_PASSWORD);
        type_text(b, QStringLiteral("0123456789abcdefX"));
        QCOMPARE(b->text(), QStringLiteral("0123456789abcdef"));
    }

    void masked_with_stars_until_shown() {
        QLineEdit* b = box(names::CONFIRM_PASSWORD);
        type_text(b, QStringLiteral("abc"));
        QCOMPARE(b->displayText(), QStringLiteral("***"));
        f.window->set_passwords_masked(false);
        QCOMPARE(b->displayText(), QStringLiteral("abc"));
        f.window->set_passwords_masked(true);
        QCOMPARE(b->displayText(), QStringLiteral("***"));
    }

    void user_focus_moves_raise_the_mark() {
        differing_texts();
        confirm()->setFocus(Qt::MouseFocusReason);
        QCOMPARE(mark(), QString());
        box(names::NEW_PASSWORD)->setFocus(Qt::TabFocusReason);
        QCOMPARE(mark(), QStringLiteral("×"));
        // Getting the focus again clears it.
        confirm()->setFocus(Qt::MouseFocusReason);
        QCOMPARE(mark(), QString());
    }

    void program_focus_moves_raise_their_events_at_once_and_once() {
        differing_texts();
        f.window->set_mark_text(gbk("×"));
        f.window->set_focus(ui::Control::confirm_password);
        QCOMPARE(mark(), QString());  // before any event is processed
        f.window->set_mark_text(gbk("×"));
        QCoreApplication::processEvents();
        QCOMPARE(mark(), QStringLiteral("×"));  // no second focus-in

        f.window->set_mark_text("");
        f.window->set_focus(ui::Control::list);
        QCOMPARE(mark(), QStringLiteral("×"));
        f.window->set_mark_text("");
        QCoreApplication::processEvents();
        QCOMPARE(mark(), QString());  // no second focus-out
    }

    void program_focus_moves_while_the_window_is_inactive() {
        differing_texts();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!f.window->isActiveWindow());

        f.window->set_mark_text(gbk("×"));
        f.window->set_focus(ui::Control::confirm_password);
        QCOMPARE(mark(), QString());
        // Qt's own focus-in arrives when the window is activated: no repeat.
        f.window->set_mark_text(gbk("×"));
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QVERIFY(confirm()->hasFocus());
        QCOMPARE(mark(), QStringLiteral("×"));
        // And from now on the user's moves count again.
        f.window->set_mark_text("");
        box(names::NEW_PASSWORD)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(mark(), QStringLiteral("×"));
    }

    void menus_and_page_changes_raise_no_focus_event() {
        differing_texts();
        confirm()->setFocus(Qt::MouseFocusReason);
        QFocusEvent popup_out(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(confirm(), &popup_out);
        QCOMPARE(mark(), QString());
        f.window->set_view(ui::LIST_VIEW);
        QCOMPARE(mark(), QString());
    }
};

QTEST_MAIN(PasswordBoxesTest)
#include "password_boxes_test.moc"
