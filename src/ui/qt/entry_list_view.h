// The list box 列表框1: a list view whose right button does not select and
// whose release is reported, as the program's list box behaves.
#pragma once

#include <QListView>
#include <functional>

namespace dova::ui::qt {

class EntryListView : public QListView {
    Q_OBJECT
  public:
    explicit EntryListView(QWidget* parent);

    std::function<void()> on_right_release;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace dova::ui::qt
