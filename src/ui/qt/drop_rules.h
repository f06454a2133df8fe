// What the window offers back while files are dragged over it, and the text
// that a drop hands to the drop handler.
#pragma once

#include <QList>
#include <QUrl>
#include <Qt>
#include <string>

class QMimeData;

namespace dova::ui::qt {

// Only lists of local files are taken. With no modifier: copy if the source
// allows it, else move, else link; Shift asks for move, Ctrl for copy, both
// together refuse; an action the source does not allow refuses.
// Qt::IgnoreAction means refuse.
Qt::DropAction drop_effect(const QMimeData* data, Qt::DropActions possible,
                           Qt::KeyboardModifiers modifiers);

// One path as it is; several each followed by "\r\n". Paths stay in the
// platform's encoding.
std::string dropped_files_text(const QList<QUrl>& urls);

}  // namespace dova::ui::qt
