#include "ui/qt/entry_list_view.h"

#include <QMouseEvent>

namespace dova::ui::qt {

EntryListView::EntryListView(QWidget* parent) : QListView(parent) {
    // The right button only pops up the program's menu: no selection and no
    // context-menu event of the view's own.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void EntryListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void EntryListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (on_right_release) on_right_release();
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void EntryListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

}  // namespace dova::ui::qt
