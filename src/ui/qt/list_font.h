// The font of the entry list: "新宋体" at 14 pixels where the system has it,
// otherwise a font that covers simplified Chinese at the same size.
#pragma once

#include <QFont>

namespace dova::ui::qt {

QFont list_font();
// The list's item height: the font's line height + 5.
int list_item_height(const QFont& font);

}  // namespace dova::ui::qt
