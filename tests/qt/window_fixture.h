// A fresh book state and main window for each Qt test.
#pragma once

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>
#include <memory>
#include <utility>
#include <vector>

#include "app/book_state.h"
#include "model/entry_index.h"
#include "text/codec.h"
#include "text/texts.h"
#include "ui/qt/qt_window.h"

namespace dova::qttest {

// Types text as key presses that carry it (QTest::keyClicks takes only ASCII).
inline void type_text(QWidget* widget, const QString& text) {
    for (char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
        QApplication::sendEvent(widget, &release);
    }
}

// GBK bytes of a UTF-8 literal.
inline std::string gbk(std::string_view utf8) {
    return text::utf8_to_gbk(utf8);
}

struct WindowFixture {
    std::unique_ptr<BookState> state;
    std::unique_ptr<ui::qt::QtWindow> window;

    void make() {
        window.reset();
        state = std::make_unique<BookState>();
        window = std::make_unique<ui::qt::QtWindow>(*state);
    }
    void drop() {
        window.reset();
        state.reset();
    }
    // Shown and active, so keyboard shortcuts and focus events work.
    bool show_active() {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    template <class T>
    T* find(const char* name) const {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    // The menus in the menu bar, by objectName, in order.
    QStringList bar_menus() const {
        QStringList out;
        for (QAction* a : window->menuBar()->actions()) {
            if (a->menu() && a->isVisible()) out << a->menu()->objectName();
        }
        return out;
    }
    // A book of (title, body) pairs, as opening one leaves it: the first
    // entry holds the list's caret.
    void load_book(const std::vector<std::pair<std::string, std::string>>& entries) {
        state->record_text.clear();
        state->entry_index.clear();
        for (const auto& [title, body] : entries) {
            state->record_text += "\r\n";
            state->record_text += texts::RECORD_HEAD;
            state->record_text += body;
            state->record_text += texts::RECORD_TAIL;
            state->entry_index.items.push_back({title, state->entry_index.size() + 1});
        }
        state->entry_index.focused_index = entries.empty() ? -1 : 0;
        window->list_reset();
    }
    // Appends entries to the index and tells the list, as the model does.
    void add_entries(std::initializer_list<const char*> titles) {
        for (const char* t : titles) {
            const int n = state->entry_index.size();
            state->entry_index.items.push_back({t, n + 1});
            window->list_inserted(n);
        }
    }
};

}  // namespace dova::qttest
