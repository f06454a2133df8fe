// Each view as the user sees it: the Chinese texts have glyphs, and no text
// or control is cut off by its own box or by the window's edge. With
// DOVA_SCREENSHOT_DIR set, a picture of each view is saved there
// (tools/screenshots.sh runs this under Xvfb).
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QtTest>

#include "qt/window_fixture.h"
#include "ui/qt/object_names.h"

using namespace dova;
using namespace dova::qttest;
namespace names = ui::qt::names;

namespace {

// The width the style leaves for a button's or check box's text.
int text_room(QAbstractButton* b) {
    QStyleOptionButton option;
    option.initFrom(b);
    option.text = b->text();
    if (qobject_cast<QCheckBox*>(b)) {
        return b->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, b).width();
    }
    return b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
}

}  // namespace

class ViewsLookTest : public QObject {
    Q_OBJECT
    WindowFixture f;

    void show_view(int view, QSize outer) {
        f.window->set_view(view);
        f.window->set_outer_size(outer.width(), outer.height());
        QVERIFY(f.show_active());
        QCoreApplication::processEvents();
    }

    // Every visible control of the page lies inside the window, and every
    // text fits its control.
    void nothing_cut_off(const char* page_name) {
        QWidget* page = f.find<QWidget>(page_name);
        const QRect client = f.window->rect();
        for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!w->isVisible()) continue;
            const QFontMetrics fm(w->font());
            QRect r(w->mapTo(f.window.get(), QPoint(0, 0)), w->size());
            // A left-aligned label needs only its text inside the window (the
            // mismatch mark's box reaches past the edge of a framed window).
            if (auto* l = qobject_cast<QLabel*>(w)) r.setWidth(fm.horizontalAdvance(l->text()));
            QVERIFY2(client.contains(r), qPrintable(w->objectName()));
            if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                const QString shown = QString(b->text()).remove(QLatin1Char('&'));
                QVERIFY2(fm.horizontalAdvance(shown) <= text_room(b), qPrintable(w->objectName()));
            }
            if (auto* l = qobject_cast<QLabel*>(w)) {
                QVERIFY2(fm.horizontalAdvance(l->text()) <= l->contentsRect().width(),
                         qPrintable(w->objectName()));
                QVERIFY2(fm.height() <= l->contentsRect().height(), qPrintable(w->objectName()));
            }
        }
        // The menu bar keeps its menus on one row, inside the window.
        QMenuBar* bar = f.window->menuBar();
        for (QAction* a : bar->actions()) {
            if (!a->isVisible()) continue;
            const QRect r = bar->actionGeometry(a);
            QVERIFY2(bar->rect().contains(r), qPrintable(a->text()));
            QCOMPARE(r.top(), bar->actionGeometry(bar->actions().first()).top());
        }
    }

    void save(const char* name) {
        if (!shots) return;
        const QString folder = qEnvironmentVariable("DOVA_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        const QPixmap picture = f.window->grab();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.save(QDir(folder).filePath(QString::fromLatin1(name) + ".png")));
    }

    // The desktop's interface font: as it comes, and as large as the VNC
    // platform makes it.
    static void add_font_rows() {
        QTest::addColumn<int>("desktop_px");
        QTest::newRow("desktop font") << 0;
        QTest::newRow("16-pixel desktop font") << 16;
    }
    void make_with_desktop_font() {
        QFETCH(int, desktop_px);
        QFont font = saved_font;
        if (desktop_px > 0) font.setPixelSize(desktop_px);
        QApplication::setFont(font);
        f.make();
        shots = desktop_px == 0;
    }

    QFont saved_font;
    bool shots = false;

  private slots:
    void initTestCase() { saved_font = QApplication::font(); }
    void cleanup() {
        f.drop();
        QApplication::setFont(saved_font);
    }

    void list_view_data() { add_font_rows(); }
    void editor_view_data() { add_font_rows(); }
    void password_view_data() { add_font_rows(); }

    void list_view() {
        make_with_desktop_font();
        f.load_book({{gbk("2024年3月5日"), ""},
                     {gbk("春游 · 西湖"), ""},
                     {gbk("读书笔记：红楼梦"), ""},
                     {gbk("一个很长很长很长很长的标题"), ""}});
        f.window->select_list_item(1);
        show_view(ui::LIST_VIEW, {ui::LIST_WIDTH, ui::LIST_HEIGHT});
        auto* list = f.find<QListView>(names::LIST);
        const QFontMetrics fm(list->font());
        for (QChar c : QStringLiteral("年月日春游西湖读书笔记红楼梦"))
            QVERIFY2(fm.inFont(c), "the list font lacks a Chinese glyph");
        nothing_cut_off(names::LIST_PAGE);
        save("list");
    }

    void editor_view() {
        make_with_desktop_font();
        f.load_book({{"t", ""}});
        f.window->set_menu_shown(ui::Menu::main_edit, false);
        f.window->set_menu_shown(ui::Menu::editor_edit, true);
        f.window->set_edit_text(ui::EditBox::diary,
                                gbk("今天天气很好，我们去公园散步。😀\r\n晚上读了两章书，"
                                    "早早睡了。这一行很长，要在编辑框的右边自动换行。\r\n"));
        show_view(ui::EDITOR_VIEW, {ui::EDITOR_WIDTH, ui::EDITOR_HEIGHT});
        nothing_cut_off(names::EDITOR_PAGE);
        // Lines wrap: nothing runs past the right edge.
        QCOMPARE(f.find<QPlainTextEdit>(names::DIARY)->horizontalScrollBar()->maximum(), 0);
        save("editor");
    }

    void password_view() {
        make_with_desktop_font();
        show_view(ui::PASSWORD_VIEW, {ui::LIST_WIDTH, ui::LIST_HEIGHT});
        f.window->set_edit_text(ui::EditBox::old_password, "secret");
        f.window->set_edit_text(ui::EditBox::new_password, "new1");
        f.window->set_edit_text(ui::EditBox::confirm_password, "new2");
        f.window->set_mark_text(gbk("×"));
        nothing_cut_off(names::PASSWORD_PAGE);
        save("password");
    }
};

QTEST_MAIN(ViewsLookTest)
#include "views_look_test.moc"
