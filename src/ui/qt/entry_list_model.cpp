#include "ui/qt/entry_list_model.h"

#include <QSize>

#include "ui/qt/qt_text.h"

namespace dova::ui::qt {

EntryListModel::EntryListModel(const model::EntryIndex& index, QObject* parent)
    : QAbstractListModel(parent), index_(index), rows_(index.size()) {}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= index_.size()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return to_qstring(index_.items[static_cast<std::size_t>(row)].title);
        case Qt::SizeHintRole:
            return QSize(1, item_height_);
        default:
            return {};
    }
}

void EntryListModel::set_item_height(int height) {
    if (height == item_height_) return;
    beginResetModel();
    item_height_ = height;
    endResetModel();
}

void EntryListModel::reset() {
    beginResetModel();
    rows_ = index_.size();
    endResetModel();
}

void EntryListModel::inserted(int row) {
    if (row < 0 || row > rows_) return check_in_step();
    beginInsertRows({}, row, row);
    ++rows_;
    endInsertRows();
    check_in_step();
}

void EntryListModel::removed(int row) {
    if (row < 0 || row >= rows_) return check_in_step();
    beginRemoveRows({}, row, row);
    --rows_;
    endRemoveRows();
    check_in_step();
}

void EntryListModel::changed(int row) {
    if (row < 0 || row >= rows_) return check_in_step();
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void EntryListModel::check_in_step() {
    if (rows_ != index_.size()) reset();
}

}  // namespace dova::ui::qt
