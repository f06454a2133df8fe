#include "ui/qt/drop_rules.h"

#include <QFile>
#include <QMimeData>

namespace dova::ui::qt {

Qt::DropAction drop_effect(const QMimeData* data, Qt::DropActions possible,
                           Qt::KeyboardModifiers modifiers) {
    if (data == nullptr || !data->hasUrls()) return Qt::IgnoreAction;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty()) return Qt::IgnoreAction;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) return Qt::IgnoreAction;
    }
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (shift && ctrl) return Qt::IgnoreAction;
    if (shift) return possible.testFlag(Qt::MoveAction) ? Qt::MoveAction : Qt::IgnoreAction;
    if (ctrl) return possible.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::IgnoreAction;
    if (possible.testFlag(Qt::CopyAction)) return Qt::CopyAction;
    if (possible.testFlag(Qt::MoveAction)) return Qt::MoveAction;
    if (possible.testFlag(Qt::LinkAction)) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

std::string dropped_files_text(const QList<QUrl>& urls) {
    if (urls.size() == 1) return QFile::encodeName(urls.first().toLocalFile()).toStdString();
    std::string text;
    for (const QUrl& url : urls) {
        text += QFile::encodeName(url.toLocalFile()).toStdString();
        text += "\r\n";
    }
    return text;
}

}  // namespace dova::ui::qt
