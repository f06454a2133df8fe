#include "ui/qt/list_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace dova::ui::qt {

QFont list_font() {
    const QStringList all = QFontDatabase::families();
    QString family;
    for (const QString& wanted : {QStringLiteral("新宋体"), QStringLiteral("NSimSun")}) {
        if (all.contains(wanted)) {
            family = wanted;
            break;
        }
    }
    if (family.isEmpty()) {
        const QStringList cjk = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const QString& preferred :
             {QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
              QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")}) {
            if (cjk.contains(preferred)) {
                family = preferred;
                break;
            }
        }
        if (family.isEmpty() && !cjk.isEmpty()) family = cjk.first();
    }
    QFont font;
    if (!family.isEmpty()) font.setFamily(family);
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

int list_item_height(const QFont& font) {
    return QFontMetrics(font).height() + 5;
}

}  // namespace dova::ui::qt
