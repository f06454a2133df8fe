// The window's edge for texts: the program's GBK bytes become QStrings and
// back, losslessly (bytes that are not GB18030 travel as lone surrogates).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace dova::ui::qt {

QString to_qstring(std::string_view gbk);
std::string to_gbk(const QString& text);

// Multi-line texts: the program breaks lines with "\r\n", Qt with "\n".
QString to_qt_lines(std::string_view gbk);
// Every "\n" not already preceded by "\r" becomes "\r\n".
std::string to_gbk_lines(const QString& text);

}  // namespace dova::ui::qt
