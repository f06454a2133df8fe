#include "ui/qt/boxes.h"

#include <QCoreApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/texts.h"
#include "ui/qt/object_names.h"
#include "ui/qt/qt_text.h"

namespace dova::ui::qt {

Answer show_message_box(QWidget* owner, std::string_view text, std::string_view caption,
                        Buttons buttons) {
    QMessageBox box(owner);
    box.setObjectName(QString::fromLatin1(names::MESSAGE_BOX));
    box.setWindowTitle(to_qstring(caption.empty() ? texts::CAPTION_INFO : caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(to_qt_lines(text));
    box.setIcon(buttons == Buttons::ok_cancel_warning ? QMessageBox::Warning : QMessageBox::NoIcon);

    auto add = [&box](std::string_view label, QMessageBox::ButtonRole role, const char* name) {
        QPushButton* b = box.addButton(to_qstring(label), role);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* ok = nullptr;
    switch (buttons) {
        case Buttons::ok:
            ok = add(texts::BUTTON_OK, QMessageBox::AcceptRole, names::BUTTON_OK);
            break;
        case Buttons::yes_no:
            yes = add(texts::BUTTON_YES, QMessageBox::YesRole, names::BUTTON_YES);
            // Not NoRole: Qt would make No the escape button, and a reflex Esc
            // at "是否保存" would then close the window without saving. A box
            // without Cancel takes neither Esc nor its close box.
            no = add(texts::BUTTON_NO, QMessageBox::ActionRole, names::BUTTON_NO);
            break;
        case Buttons::yes_no_cancel:
            yes = add(texts::BUTTON_YES, QMessageBox::YesRole, names::BUTTON_YES);
            no = add(texts::BUTTON_NO, QMessageBox::NoRole, names::BUTTON_NO);
            cancel = add(texts::BUTTON_CANCEL, QMessageBox::RejectRole, names::BUTTON_CANCEL);
            break;
        case Buttons::ok_cancel_warning:
            ok = add(texts::BUTTON_OK, QMessageBox::AcceptRole, names::BUTTON_OK);
            cancel = add(texts::BUTTON_CANCEL, QMessageBox::RejectRole, names::BUTTON_CANCEL);
            break;
    }
    // The first button is the default; Esc and the close box give Cancel, or
    // OK in a box with OK alone, and do nothing in a Yes/No box.
    box.setDefaultButton(yes ? yes : ok);
    if (cancel || ok) box.setEscapeButton(cancel ? cancel : ok);
    box.exec();

    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) clicked = box.escapeButton();
    if (clicked == yes) return Answer::yes;
    if (clicked == no) return Answer::no;
    if (clicked == ok) return Answer::ok;
    return Answer::cancel;
}

InputBox::InputBox(QWidget* owner, const QString& prompt, const QString& caption,
                   const QString& initial, bool password, QStyle* mask_style)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QString::fromLatin1(names::INPUT_BOX));
    setWindowTitle(caption);
    setModal(true);

    prompt_ = new QLabel(prompt, this);
    prompt_->setObjectName(QString::fromLatin1(names::INPUT_PROMPT));
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setWordWrap(true);

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QString::fromLatin1(names::INPUT_EDIT));
    if (password) {
        edit_->setEchoMode(QLineEdit::Password);
        if (mask_style) edit_->setStyle(mask_style);
    }
    edit_->setText(initial);
    edit_->selectAll();

    ok_ = new QPushButton(to_qstring(texts::BUTTON_INPUT_OK), this);
    ok_->setObjectName(QString::fromLatin1(names::INPUT_OK));
    ok_->setDefault(true);
    cancel_ = new QPushButton(to_qstring(texts::BUTTON_INPUT_CANCEL), this);
    cancel_->setObjectName(QString::fromLatin1(names::INPUT_CANCEL));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
    setMinimumWidth(320);
    edit_->setFocus();
}

std::optional<std::string> show_input_box(QWidget* owner, std::string_view prompt,
                                          std::string_view caption, std::string_view initial,
                                          InputMode mode, QStyle* mask_style) {
    InputBox box(owner, to_qt_lines(prompt),
                 to_qstring(caption.empty() ? texts::CAPTION_INPUT : caption), to_qstring(initial),
                 mode == InputMode::password, mask_style);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return to_gbk(box.edit()->text());
}

QStringList qt_name_filters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
        QStringList patterns;
        for (QString p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            // "*.*" means every file, also one without a dot.
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        out << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

namespace {

// Names a file's type and icon from its name alone. Qt's default looks into
// each file's content, which blocks for ever on files such as /proc/kmsg and
// calls every book a PNG picture, since books begin with one.
class NameOnlyIconProvider : public QFileIconProvider {
  public:
    QIcon icon(const QFileInfo& info) const override {
        if (!info.isFile()) return QFileIconProvider::icon(info);
        const QMimeType type = mime_.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
        return QIcon::fromTheme(type.iconName(), QFileIconProvider::icon(QFileIconProvider::File));
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) return QFileIconProvider::type(info);
        if (info.suffix() == QLatin1String("dova")) return to_qstring(texts::FILE_TYPE_NAME);
        return mime_.mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }

  private:
    QMimeDatabase mime_;
};

}  // namespace

BookFileDialog::BookFileDialog(QWidget* owner, bool save_mode, const QString& title,
                               const QString& initial_path)
    : QFileDialog(owner, title) {
    setObjectName(QString::fromLatin1(names::FILE_DIALOG));
    // Qt's own dialog behaves the same on every desktop.
    setOption(QFileDialog::DontUseNativeDialog);
    // One for the program's life: the dialog's file model may still ask it
    // while the dialog is being torn down.
    static NameOnlyIconProvider* const icons = new NameOnlyIconProvider();
    setIconProvider(icons);
    // The filters keep their names as written ("日记本(*.dova)").
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(save_mode ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A typed file need not exist, in either mode.
    setFileMode(QFileDialog::AnyFile);
    const QStringList filters = qt_name_filters(to_qstring(texts::FILE_FILTER));
    setNameFilters(filters);
    selectNameFilter(filters.first());
    setDefaultSuffix(QStringLiteral("dova"));
    if (!initial_path.isEmpty()) {
        const QFileInfo info(initial_path);
        setDirectory(info.absolutePath());
        selectFile(info.fileName());
    }
}

void BookFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
        const QFileInfo info(files.first());
        const QString folder = info.absolutePath();
        if (!info.isDir() && !QFileInfo(folder).isDir()) {
            QMessageBox::warning(
                this, windowTitle(),
                QCoreApplication::translate(
                    "QFileDialog",
                    "%1\nDirectory not found.\nPlease verify the correct directory name was given.")
                    .arg(folder));
            return;
        }
    }
    QFileDialog::accept();
}

}  // namespace dova::ui::qt
