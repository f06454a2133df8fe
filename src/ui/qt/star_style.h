// Password boxes show each character as "*" and never flash the last one.
#pragma once

#include <QProxyStyle>

namespace dova::ui::qt {

class StarMaskStyle : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace dova::ui::qt
