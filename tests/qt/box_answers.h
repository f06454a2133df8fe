// Answers the modal boxes and pop-up menus that the code under test opens,
// in order, from inside their own event loops: no sleeping, no wall-clock
// waits. Whatever is still open when an answer did not close it, or when no
// answer is left, is rejected, so a failed check never leaves a box open.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace dova::qttest {

using BoxAction = std::function<void(QWidget*)>;

inline void reject_box(QWidget* box) {
    if (auto* dialog = qobject_cast<QDialog*>(box)) {
        dialog->reject();
    } else {
        box->close();
    }
}

class BoxAnswers {
  public:
    BoxAnswers() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    BoxAnswers(std::initializer_list<BoxAction> actions) : BoxAnswers() {
        for (const BoxAction& a : actions) actions_.push_back(a);
    }
    ~BoxAnswers() {
        timer_.stop();
        // A box left open would hang the test run: close it.
        for (int i = 0; i < 10; ++i) {
            QWidget* open = current();
            if (open == nullptr) break;
            reject_box(open);
        }
    }
    BoxAnswers(const BoxAnswers&) = delete;
    BoxAnswers& operator=(const BoxAnswers&) = delete;

    void then(BoxAction action) { actions_.push_back(std::move(action)); }
    // Every answer was used, and no box came that had none.
    bool all_used() const { return actions_.empty() && unexpected_ == 0; }
    int answered() const { return answered_; }
    int unexpected() const { return unexpected_; }

  private:
    static QWidget* current() {
        if (QWidget* popup = QApplication::activePopupWidget()) return popup;
        QWidget* modal = QApplication::activeModalWidget();
        return modal && modal->isVisible() ? modal : nullptr;
    }

    void poll() {
        if (pending_) return;
        QWidget* box = current();
        // A box whose answer is still running (it opened a box of its own)
        // is that answer's business.
        if (box == nullptr || std::find(in_hand_.begin(), in_hand_.end(), box) != in_hand_.end()) {
            return;
        }
        pending_ = true;
        QPointer<QWidget> guard(box);
        BoxAction action;
        if (actions_.empty()) {
            ++unexpected_;
            action = reject();
        } else {
            action = std::move(actions_.front());
            actions_.pop_front();
            ++answered_;
        }
        // Run outside the timer's own slot: Qt does not fire a timer again
        // while its slot runs, and the answer may open a box of its own.
        QMetaObject::invokeMethod(
            &timer_,
            [this, guard, action] {
                pending_ = false;
                if (!guard) return;
                QWidget* raw = guard.data();
                in_hand_.push_back(raw);
                action(raw);
                in_hand_.erase(std::find(in_hand_.begin(), in_hand_.end(), raw));
                // The answer did not close it (a failed check): reject it.
                if (guard && guard->isVisible() && current() == guard) reject_box(guard);
            },
            Qt::QueuedConnection);
    }

    static BoxAction reject() {
        return [](QWidget* box) { reject_box(box); };
    }

    QTimer timer_;
    std::deque<BoxAction> actions_;
    int answered_ = 0;
    int unexpected_ = 0;
    std::vector<QWidget*> in_hand_;
    bool pending_ = false;
};

// ---- common answers ----

// Clicks the button of that objectName.
inline BoxAction click(const QString& name) {
    return [name](QWidget* box) {
        if (auto* b = box->findChild<QAbstractButton*>(name)) b->click();
    };
}

// Checks something about the box, then answers it.
inline BoxAction inspect(std::function<void(QWidget*)> look, BoxAction answer) {
    return [look = std::move(look), answer = std::move(answer)](QWidget* box) {
        look(box);
        answer(box);
    };
}

inline BoxAction reject() {
    return [](QWidget* box) { reject_box(box); };
}

// Types into the input box and confirms.
inline BoxAction enter_text(const QString& text) {
    return [text](QWidget* box) {
        auto* edit = box->findChild<QLineEdit*>(QStringLiteral("input_edit"));
        auto* ok = box->findChild<QAbstractButton*>(QStringLiteral("input_ok"));
        if (edit == nullptr || ok == nullptr) return;
        edit->setText(text);
        ok->click();
    };
}

// Picks a path in the file dialog.
inline BoxAction choose_file(const QString& path) {
    return [path](QWidget* box) {
        auto* dialog = qobject_cast<QFileDialog*>(box);
        if (dialog == nullptr) return;
        // Typed into the name box, as a user does (selectFile leaves a
        // focused name box alone).
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr) return;
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    };
}

// Chooses an item of a pop-up menu by its objectName.
inline BoxAction choose_item(const QString& name) {
    return [name](QWidget* box) {
        auto* menu = qobject_cast<QMenu*>(box);
        if (menu == nullptr) return;
        for (QAction* a : menu->actions()) {
            if (a->objectName() == name) {
                menu->close();
                a->trigger();
                return;
            }
        }
    };
}

}  // namespace dova::qttest
