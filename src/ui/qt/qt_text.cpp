#include "ui/qt/qt_text.h"

#include "text/codec.h"

namespace dova::ui::qt {

QString to_qstring(std::string_view gbk) {
    const std::u16string u = text::gbk_to_utf16(gbk);
    return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}

std::string to_gbk(const QString& text) {
    return text::utf16_to_gbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                  static_cast<std::size_t>(text.size())));
}

QString to_qt_lines(std::string_view gbk) {
    QString s = to_qstring(gbk);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string to_gbk_lines(const QString& text) {
    const std::string bytes = to_gbk(text);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // '\n' is never a trail byte of a GBK character, so a byte scan is safe.
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out.push_back('\r');
        out.push_back(bytes[i]);
    }
    return out;
}

}  // namespace dova::ui::qt
