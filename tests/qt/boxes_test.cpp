// Message boxes, input boxes and the file dialog: texts, button sets, the
// answers of Esc and the close box, and the file dialog's rules.
#include "ui/qt/boxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

#include "qt/box_answers.h"
#include "qt/window_fixture.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
using ui::Answer;
using ui::Buttons;
namespace names = ui::qt::names;

Q_DECLARE_METATYPE(ui::Buttons)
Q_DECLARE_METATYPE(ui::Answer)

namespace {

QStringList button_texts(QWidget* box) {
    QStringList out;
    for (QAbstractButton* b : qobject_cast<QMessageBox*>(box)->buttons()) out << b->text();
    out.sort();
    return out;
}

BoxAction press_escape() {
    return [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); };
}
BoxAction close_box() {
    return [](QWidget* box) { box->close(); };
}

}  // namespace

class BoxesTest : public QObject {
    Q_OBJECT
    WindowFixture f;
    QTemporaryDir dir;

    // The file dialog answered by `actions`; every one of them used.
    std::optional<std::string> dialog(bool save, std::initializer_list<BoxAction> actions) {
        BoxAnswers answers(actions);
        auto result = f.window->file_dialog(save, gbk("请选择"));
        answers_used = answers_used && answers.all_used();
        return result;
    }
    bool answers_used = true;
    std::string bytes(const QString& path) const { return QFile::encodeName(path).toStdString(); }

  private slots:
    void init() {
        QVERIFY(dir.isValid());
        f.make();
        answers_used = true;
    }
    void cleanup() {
        f.drop();
        QVERIFY2(answers_used, "a box came unanswered, or an answer was left");
    }

    void message_box_sets_data() {
        QTest::addColumn<Buttons>("set");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("first");  // clicked in the first run
        QTest::addColumn<Answer>("first_answer");
        QTest::addColumn<Answer>("escaped");
        QTest::addColumn<bool>("warning");
        QTest::newRow("ok") << Buttons::ok << QStringList{"确定"} << names::BUTTON_OK << Answer::ok
                            << Answer::ok << false;
        QTest::newRow("yes/no") << Buttons::yes_no << QStringList{"否(&N)", "是(&Y)"}
                                << names::BUTTON_YES << Answer::yes << Answer::no << false;
        QTest::newRow("yes/no/cancel")
            << Buttons::yes_no_cancel << QStringList{"取消", "否(&N)", "是(&Y)"} << names::BUTTON_NO
            << Answer::no << Answer::cancel << false;
        QTest::newRow("ok/cancel, warning")
            << Buttons::ok_cancel_warning << QStringList{"取消", "确定"} << names::BUTTON_OK
            << Answer::ok << Answer::cancel << true;
    }
    void message_box_sets() {
        QFETCH(Buttons, set);
        QFETCH(QStringList, texts);
        QFETCH(QString, first);
        QFETCH(Answer, first_answer);
        QFETCH(Answer, escaped);
        QFETCH(bool, warning);
        {
            BoxAnswers answers{inspect(
                [&](QWidget* box) {
                    auto* m = qobject_cast<QMessageBox*>(box);
                    QVERIFY(m);
                    QCOMPARE(m->windowTitle(), QStringLiteral("标题"));
                    QCOMPARE(m->text(), QStringLiteral("第一行\n<b>二</b>"));
                    QCOMPARE(m->textFormat(), Qt::PlainText);
                    QCOMPARE(button_texts(box), texts);
                    QCOMPARE(m->icon(), warning ? QMessageBox::Warning : QMessageBox::NoIcon);
                    QVERIFY(QApplication::activeModalWidget() == box);
                },
                click(first))};
            QCOMPARE(f.window->message_box(gbk("第一行\r\n<b>二</b>"), gbk("标题"), set),
                     first_answer);
            QVERIFY(answers.all_used());
        }
        for (const BoxAction& how : {press_escape(), close_box()}) {
            if (set == Buttons::yes_no) {
                // Esc and the close box leave a Yes/No box open; only a button ends it.
                BoxAnswers answers{[how](QWidget* box) {
                    how(box);
                    QVERIFY(QApplication::activeModalWidget() == box);
                    click(names::BUTTON_NO)(box);
                }};
                QCOMPARE(f.window->message_box("x", "", set), Answer::no);
                QVERIFY(answers.all_used());
                continue;
            }
            BoxAnswers answers{how};
            QCOMPARE(f.window->message_box("x", "", set), escaped);
            QVERIFY(answers.all_used());
        }
    }

    void message_box_default_caption() {
        BoxAnswers answers{
            inspect([](QWidget* box) { QCOMPARE(box->windowTitle(), QStringLiteral("信息：")); },
                    click(names::BUTTON_OK))};
        f.window->message_box("x", "", Buttons::ok);
        QVERIFY(answers.all_used());
    }

    void input_box_looks_data() {
        QTest::addColumn<bool>("password");
        QTest::addColumn<bool>("owned");
        QTest::newRow("plain, owned") << false << true;
        QTest::newRow("password, not owned") << true << false;
    }
    void input_box_looks() {
        QFETCH(bool, password);
        QFETCH(bool, owned);
        BoxAnswers answers{inspect(
            [&](QWidget* box) {
                QCOMPARE(box->windowTitle(), QStringLiteral("请输入："));
                QCOMPARE(box->parentWidget(), owned ? f.window.get() : nullptr);
                QCOMPARE(box->findChild<QLabel*>(names::INPUT_PROMPT)->text(),
                         QStringLiteral("提示"));
                auto* edit = box->findChild<QLineEdit*>(names::INPUT_EDIT);
                QCOMPARE(edit->text(), QStringLiteral("初始"));
                QCOMPARE(edit->selectedText(), QStringLiteral("初始"));
                QVERIFY(edit->hasFocus());
                QCOMPARE(edit->echoMode(), password ? QLineEdit::Password : QLineEdit::Normal);
                if (password) QCOMPARE(edit->displayText(), QStringLiteral("**"));
                auto* ok = box->findChild<QPushButton*>(names::INPUT_OK);
                QCOMPARE(ok->text(), QStringLiteral("确认输入(&O)"));
                QVERIFY(ok->isDefault());
                QCOMPARE(box->findChild<QPushButton*>(names::INPUT_CANCEL)->text(),
                         QStringLiteral("取消(&C)"));
            },
            enter_text(QStringLiteral("答")))};
        const auto got =
            f.window->input_box(gbk("提示"), "", gbk("初始"),
                                password ? ui::InputMode::password : ui::InputMode::plain, owned);
        QVERIFY(answers.all_used());
        QCOMPARE(got, std::optional(gbk("答")));
    }

    void input_box_answers_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("delivered");
        QTest::addColumn<QString>("typed");
        QTest::newRow("enter") << "enter" << true << "abc";
        QTest::newRow("ok with nothing typed") << "ok" << true << "";
        QTest::newRow("cancel") << "cancel" << false << "abc";
        QTest::newRow("esc") << "esc" << false << "abc";
        QTest::newRow("close box") << "close" << false << "abc";
    }
    void input_box_answers() {
        QFETCH(QString, how);
        QFETCH(bool, delivered);
        QFETCH(QString, typed);
        BoxAnswers answers{[&](QWidget* box) {
            auto* edit = box->findChild<QLineEdit*>(names::INPUT_EDIT);
            edit->setText(typed);
            if (how == "enter") QTest::keyClick(edit, Qt::Key_Return);
            if (how == "ok") box->findChild<QPushButton*>(names::INPUT_OK)->click();
            if (how == "cancel") box->findChild<QPushButton*>(names::INPUT_CANCEL)->click();
            if (how == "esc") QTest::keyClick(edit, Qt::Key_Escape);
            if (how == "close") box->close();
        }};
        const auto got = f.window->input_box("p", "", "init", ui::InputMode::plain, true);
        QVERIFY(answers.all_used());
        QCOMPARE(got.has_value(), delivered);
        if (delivered) QCOMPARE(*got, typed.toStdString());
    }

    void file_filters_in_qt_form() {
        QCOMPARE(ui::qt::qt_name_filters(QStringLiteral("日记本(*.dova)|*.dova|所有文件(*.*)|*.*")),
                 (QStringList{"日记本(*.dova) (*.dova)", "所有文件(*.*) (*)"}));
        QCOMPARE(ui::qt::qt_name_filters(QStringLiteral("图|*.png;*.jpg")),
                 (QStringList{"图 (*.png *.jpg)"}));
    }

    void file_dialog_settings() {
        dialog(false, {inspect(
                          [](QWidget* box) {
                              auto* d = qobject_cast<QFileDialog*>(box);
                              QVERIFY(d);
                              QCOMPARE(d->windowTitle(), QStringLiteral("请选择"));
                              QVERIFY(d->testOption(QFileDialog::DontUseNativeDialog));
                              QCOMPARE(d->nameFilters().size(), 2);
                              // The names are shown as written; the patterns still filter.
                              QCOMPARE(d->selectedNameFilter(), QStringLiteral("日记本(*.dova)"));
                              QCOMPARE(d->defaultSuffix(), QStringLiteral("dova"));
                              QCOMPARE(d->acceptMode(), QFileDialog::AcceptOpen);
                          },
                          reject())});
    }

    void file_dialog_paths() {
        // Save: the default ending is added; the path comes back as the
        // platform's bytes, not converted.
        const QString typed = dir.filePath(QStringLiteral("日记"));
        QCOMPARE(dialog(true, {choose_file(typed)}), std::optional(bytes(typed + ".dova")));
        // Open: a file that does not exist may be typed.
        const QString missing = dir.filePath(QStringLiteral("无.dova"));
        QCOMPARE(dialog(false, {choose_file(missing)}), std::optional(bytes(missing)));
        // The folder must exist: the dialog says so and stays open (then it
        // is cancelled).
        const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/a.dova"));
        int warnings = 0;
        QCOMPARE(dialog(false, {choose_file(nowhere), inspect(
                                                          [&](QWidget* box) {
                                                              if (qobject_cast<QMessageBox*>(box))
                                                                  ++warnings;
                                                          },
                                                          reject())}),
                 std::nullopt);
        QCOMPARE(warnings, 1);
    }

    void file_dialog_asks_before_overwriting() {
        const QString existing = dir.filePath(QStringLiteral("有.dova"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        auto answer = [](QMessageBox::StandardButton which) {
            return [which](QWidget* box) {
                auto* m = qobject_cast<QMessageBox*>(box);
                if (m && m->button(which)) m->button(which)->click();
            };
        };
        QCOMPARE(dialog(true, {choose_file(existing), answer(QMessageBox::Yes)}),
                 std::optional(bytes(existing)));
        QCOMPARE(dialog(true, {choose_file(existing), answer(QMessageBox::No)}), std::nullopt);
        // Open mode asks nothing.
        QCOMPARE(dialog(false, {choose_file(existing)}), std::optional(bytes(existing)));
    }

    void file_dialog_offers_the_last_choice() {
        const QString first = dir.filePath(QStringLiteral("第一.dova"));
        auto offered = [](QString* out) {
            return inspect(
                [out](QWidget* box) {
                    auto* d = qobject_cast<QFileDialog*>(box);
                    if (d && !d->selectedFiles().isEmpty()) *out = d->selectedFiles().first();
                },
                reject());
        };
        QCOMPARE(dialog(true, {choose_file(first)}), std::optional(bytes(first)));
        QString shown;
        dialog(false, {offered(&shown)});  // cancelled: changes nothing
        QCOMPARE(shown, first);
        dialog(true, {offered(&shown)});
        QCOMPARE(shown, first);
    }
};

QTEST_MAIN(BoxesTest)
#include "boxes_test.moc"
