// The modal boxes of the window: message boxes, input boxes and the file
// dialog, with the program's texts and button sets.
#pragma once

#include <QDialog>
#include <QFileDialog>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "ui/window.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QStyle;

namespace dova::ui::qt {

// A modal message box; `caption` empty means the default caption.
Answer show_message_box(QWidget* owner, std::string_view text, std::string_view caption,
                        Buttons buttons);

// The input box: a prompt above a one-line edit box, 确认输入(&O) as the
// default button and 取消(&C).
class InputBox : public QDialog {
    Q_OBJECT
  public:
    InputBox(QWidget* owner, const QString& prompt, const QString& caption, const QString& initial,
             bool password, QStyle* mask_style);
    QLineEdit* edit() const { return edit_; }

  private:
    QLabel* prompt_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The entered text on OK (or Enter), nothing on Cancel, Esc or the close box.
std::optional<std::string> show_input_box(QWidget* owner, std::string_view prompt,
                                          std::string_view caption, std::string_view initial,
                                          InputMode mode, QStyle* mask_style);

// "name|pattern|name|pattern" as Qt's filters; patterns end up in the last
// parentheses, where Qt reads them, and "*.*" means every file.
QStringList qt_name_filters(const QString& filter);

// The file dialog: the folder of the chosen path must exist.
class BookFileDialog : public QFileDialog {
    Q_OBJECT
  public:
    BookFileDialog(QWidget* owner, bool save_mode, const QString& title,
                   const QString& initial_path);

  public slots:
    void accept() override;
};

}  // namespace dova::ui::qt
