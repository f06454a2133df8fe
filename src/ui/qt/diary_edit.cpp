#include "ui/qt/diary_edit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/qt/object_names.h"
#include "ui/qt/qt_text.h"

namespace dova::ui::qt {
namespace {

// The document keeps paragraph separators; the program wants "\r\n".
std::string document_text_to_gbk(QString text) {
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return to_gbk_lines(text);
}

}  // namespace

DiaryEdit::DiaryEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
    // Dropped files go to the window, not into the text.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

void DiaryEdit::set_gbk(std::string_view text) {
    set_bytes_ = std::string(text);
    setPlainText(to_qt_lines(text));
    document()->setModified(false);
}

std::string DiaryEdit::gbk() const {
    // Untouched (or undone back to where the program left it): the bytes as
    // they were set, even where Qt would have normalised them.
    if (!document()->isModified()) return set_bytes_;
    return document_text_to_gbk(document()->toRawText());
}

std::string DiaryEdit::selected_gbk() const {
    return document_text_to_gbk(textCursor().selectedText());
}

void DiaryEdit::replace_selection_gbk(std::string_view text) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(to_qt_lines(text));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void DiaryEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QPlainTextEdit::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (on_right_release && on_right_release()) return;
    QMenu* menu = createStandardContextMenu(event->position().toPoint());
    menu->setObjectName(QString::fromLatin1(names::DIARY_CONTEXT_MENU));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPosition().toPoint());
}

void DiaryEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's menu comes with the release of the button (above); the
    // keyboard's menu key keeps the standard behaviour.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    QPlainTextEdit::contextMenuEvent(event);
}

}  // namespace dova::ui::qt
