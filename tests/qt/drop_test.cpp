// Files dropped on the window: what a drag is offered, and what the drop
// handler is given for one file, several files and a password book.
#include <QListView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include "qt/box_answers.h"
#include "qt/window_fixture.h"
#include "storage/book_format.h"
#include "storage/cipher.h"
#include "storage/signatures.h"
#include "ui/qt/drop_rules.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
namespace names = ui::qt::names;

namespace {

QMimeData* files_data(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

void write_file(const QString& path, const std::string& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
             static_cast<qint64>(bytes.size()));
}

// A book under the empty password holding the given titles.
std::string book_file(const std::vector<std::string>& titles) {
    BookState s;
    for (const std::string& t : titles) {
        s.record_text += "\r\n";
        s.record_text += texts::RECORD_HEAD;
        s.record_text += texts::RECORD_TAIL;
        s.entry_index.items.push_back({t, s.entry_index.size() + 1});
    }
    const storage::BuildResult built = storage::build_book_text(s.entry_index, s.record_text);
    return std::string(storage::BOOK_SIGNATURE) +
           storage::encrypt_text(s, built.text, "", storage::PasswordMode::given);
}

std::string password_book_file(std::string_view password) {
    std::string cipher;
    storage::rc4_md5_apply("", std::string(password) + ",", cipher);
    return std::string(storage::PASSWORD_BOOK_SIGNATURE) + cipher;
}

}  // namespace

class DropTest : public QObject {
    Q_OBJECT
    WindowFixture f;
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // Drags data over the window and drops it; the drop handler runs as the
    // next window event. Returns whether the drop was taken.
    bool drop(QMimeData* data, Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPoint at(20, 40);
        QDragEnterEvent enter(at, possible, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(f.window.get(), &enter);
        QDropEvent dropped(QPointF(at), possible, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(f.window.get(), &dropped);
        QCoreApplication::processEvents();
        delete data;
        return enter.isAccepted() && dropped.isAccepted();
    }

  private slots:
    void init() {
        QVERIFY(dir.isValid());
        f.make();
        f.window->register_drop_target();
        QVERIFY(f.show_active());
    }
    void cleanup() { f.drop(); }

    void offered_effects_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("possible");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("effect");
        const int all = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("files: copy first") << "files" << all << none << int(Qt::CopyAction);
        QTest::newRow("files: else move")
            << "files" << int(Qt::MoveAction | Qt::LinkAction) << none << int(Qt::MoveAction);
        QTest::newRow("files: else link")
            << "files" << int(Qt::LinkAction) << none << int(Qt::LinkAction);
        QTest::newRow("shift: move") << "files" << all << shift << int(Qt::MoveAction);
        QTest::newRow("shift, move not allowed")
            << "files" << int(Qt::CopyAction) << shift << int(Qt::IgnoreAction);
        QTest::newRow("ctrl: copy") << "files" << all << ctrl << int(Qt::CopyAction);
        QTest::newRow("ctrl, copy not allowed")
            << "files" << int(Qt::MoveAction) << ctrl << int(Qt::IgnoreAction);
        QTest::newRow("ctrl+shift") << "files" << all << (ctrl | shift) << int(Qt::IgnoreAction);
        QTest::newRow("text") << "text" << all << none << int(Qt::IgnoreAction);
        QTest::newRow("web address") << "web" << all << none << int(Qt::IgnoreAction);
        QTest::newRow("file and web address") << "mixed" << all << none << int(Qt::IgnoreAction);
    }
    void offered_effects() {
        QFETCH(QString, kind);
        QFETCH(int, possible);
        QFETCH(int, modifiers);
        QFETCH(int, effect);
        QMimeData data;
        const QUrl file = QUrl::fromLocalFile(QStringLiteral("/tmp/a.dova"));
        const QUrl web(QStringLiteral("https://example.org/a.dova"));
        if (kind == "files") data.setUrls({file, QUrl::fromLocalFile("/tmp/b")});
        if (kind == "text") data.setText(QStringLiteral("/tmp/a.dova"));
        if (kind == "web") data.setUrls({web});
        if (kind == "mixed") data.setUrls({file, web});
        QCOMPARE(int(ui::qt::drop_effect(&data, Qt::DropActions(possible),
                                         Qt::KeyboardModifiers(modifiers))),
                 effect);
        // And the window answers the drag the same way.
        QDragEnterEvent enter(QPoint(20, 40), Qt::DropActions(possible), &data, Qt::LeftButton,
                              Qt::KeyboardModifiers(modifiers));
        QApplication::sendEvent(f.window.get(), &enter);
        QCOMPARE(enter.isAccepted(), effect != Qt::IgnoreAction);
        if (effect != Qt::IgnoreAction) QCOMPARE(int(enter.dropAction()), effect);
    }

    void drops_are_taken_only_once_registered() {
        f.make();
        QVERIFY(!f.window->acceptDrops());
        f.window->register_drop_target();
        f.window->register_drop_target();
        QVERIFY(f.window->acceptDrops());
        // The controls leave dropped files to the window.
        for (QWidget* w : f.window->findChildren<QWidget*>()) {
            if (w != f.window.get()) QVERIFY2(!w->acceptDrops(), qPrintable(w->objectName()));
        }
    }

    void one_book_dropped_opens_it() {
        // A name outside ASCII: the path must reach the handler unconverted.
        const QString book = path("日记.dova");
        write_file(book, book_file({gbk("第一篇"), gbk("第二篇")}));
        BoxAnswers answers;  // none expected: the book has no password
        QVERIFY(drop(files_data({book})));
        QVERIFY(answers.all_used());
        auto* list = f.find<QListView>(names::LIST);
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("第二篇"));
        QCOMPARE(f.state->path_list,
                 std::vector<std::string>{QFile::encodeName(book).toStdString()});
    }

    void two_files_dropped_name_no_book() {
        const QString a = path("a.dova"), b = path("b.dova");
        write_file(a, book_file({"x"}));
        write_file(b, book_file({"y"}));
        BoxAnswers answers{inspect(
            [](QWidget* box) {
                QCOMPARE(qobject_cast<QMessageBox*>(box)->text(),
                         QStringLiteral("文件校验错误，这个文件不是正经的日记本文件"));
            },
            click(names::BUTTON_OK))};
        QVERIFY(drop(files_data({a, b})));
        QVERIFY(answers.all_used());
        QVERIFY(f.state->path_list.empty());
        QCOMPARE(f.find<QListView>(names::LIST)->model()->rowCount(), 0);
    }

    void password_book_dropped_loads_the_password_and_keeps_the_book() {
        f.load_book({{"a", "1"}});
        f.state->modified = true;
        const QString pw = path("密码本");
        write_file(pw, password_book_file("secret"));
        BoxAnswers answers{click(names::BUTTON_OK)};  // "导入密码成功"
        QVERIFY(drop(files_data({pw}), Qt::MoveAction));
        QVERIFY(answers.all_used());
        QCOMPARE(f.state->book_password, std::string("secret"));
        QVERIFY(f.state->modified);
        QCOMPARE(f.find<QListView>(names::LIST)->model()->rowCount(), 1);
    }

    void refused_drops_reach_no_handler() {
        f.state->modified = true;  // a handler would ask the save question
        BoxAnswers answers;
        auto* text = new QMimeData;
        text->setText(QStringLiteral("/tmp/a.dova"));
        QVERIFY(!drop(text));
        QVERIFY(!drop(files_data({path("a.dova")}), Qt::CopyAction,
                      Qt::ControlModifier | Qt::ShiftModifier));
        QVERIFY(answers.all_used());
    }
};

QTEST_MAIN(DropTest)
#include "drop_test.moc"
