// The diary box hands back the bytes it was given while the user has not
// changed them, and converts line breaks and stray bytes faithfully after.
#include <QPlainTextEdit>
#include <QtTest>

#include "qt/window_fixture.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
using ui::EditBox;

namespace {

std::string bytes(const QByteArray& b) {
    return b.toStdString();
}

}  // namespace

class DiaryTextTest : public QObject {
    Q_OBJECT
    WindowFixture f;

    QPlainTextEdit* diary() const { return f.find<QPlainTextEdit>(ui::qt::names::DIARY); }

  private slots:
    void init() { f.make(); }
    void cleanup() { f.drop(); }

    void untouched_text_comes_back_byte_for_byte_data() {
        QTest::addColumn<QByteArray>("set");
        QTest::addColumn<QByteArray>("after_edit");  // once the user has changed and restored it
        auto row = [](const char* name, const std::string& set, const std::string& edited) {
            QTest::newRow(name) << QByteArray::fromStdString(set)
                                << QByteArray::fromStdString(edited);
        };
        row("empty", "", "");
        row("crlf breaks", gbk("第一行\r\n第二行\r\n"), gbk("第一行\r\n第二行\r\n"));
        row("lone lf", "a\nb", "a\r\nb");
        row("lone cr", "a\rb", "a\r\nb");
        row("invalid bytes", "x\x80y\xFFz\x81", "x\x80y\xFFz\x81");
        row("non-breaking space and emoji", gbk("a\u00A0b😀"), gbk("a\u00A0b😀"));
    }
    void untouched_text_comes_back_byte_for_byte() {
        QFETCH(QByteArray, set);
        QFETCH(QByteArray, after_edit);
        f.window->set_edit_text(EditBox::diary, bytes(set));
        QCOMPARE(f.window->edit_text(EditBox::diary), bytes(set));

        // Typed and taken back by hand: the text is the document's now.
        diary()->moveCursor(QTextCursor::End);
        QTest::keyClick(diary(), Qt::Key_A);
        QTest::keyClick(diary(), Qt::Key_Backspace);
        QVERIFY(diary()->document()->isModified());
        QCOMPARE(f.window->edit_text(EditBox::diary), bytes(after_edit));

        // Undone back to where the program left it: the original bytes again.
        diary()->undo();
        diary()->undo();
        QVERIFY(!diary()->document()->isModified());
        QCOMPARE(f.window->edit_text(EditBox::diary), bytes(set));
    }

    void setting_text_starts_a_new_undo_history() {
        f.window->set_edit_text(EditBox::diary, "one");
        QTest::keyClick(diary(), Qt::Key_X);
        f.window->set_edit_text(EditBox::diary, "two");
        QVERIFY(!diary()->document()->isUndoAvailable());
        QCOMPARE(f.window->edit_text(EditBox::diary), std::string("two"));
    }

    void selection_and_replacement() {
        f.window->set_edit_text(EditBox::diary, gbk("甲\r\n乙丙"));
        QTextCursor c = diary()->textCursor();
        c.setPosition(0);
        c.setPosition(3, QTextCursor::KeepAnchor);  // "甲", the break, "乙"
        diary()->setTextCursor(c);
        QCOMPARE(f.window->selected_text(EditBox::diary), gbk("甲\r\n乙"));

        f.window->replace_selection(EditBox::diary, gbk("一\r\n二\r\n三"));
        QCOMPARE(f.window->edit_text(EditBox::diary), gbk("一\r\n二\r\n三丙"));
        QVERIFY(f.window->selected_text(EditBox::diary).empty());
        QCOMPARE(diary()->textCursor().position(), 5);  // after the inserted text
        diary()->undo();
        QCOMPARE(f.window->edit_text(EditBox::diary), gbk("甲\r\n乙丙"));
    }

    void password_boxes_hold_their_text() {
        for (EditBox box :
             {EditBox::old_password, EditBox::new_password, EditBox::confirm_password}) {
            f.window->set_edit_text(box, "pw");
            QCOMPARE(f.window->edit_text(box), std::string("pw"));
            f.window->set_edit_enabled(box, false);
            QVERIFY(!f.window->edit_enabled(box));
            f.window->set_edit_enabled(box, true);
            f.window->set_edit_text(box, "");
            QVERIFY(f.window->edit_text(box).empty());
        }
    }
};

QTEST_MAIN(DiaryTextTest)
#include "diary_text_test.moc"
