// The list of entries as a Qt model over BookState::entry_index: the titles
// are read where they are kept, never copied into items, so a book of
// 100 000 entries fills the list in the time of one reset.
#pragma once

#include <QAbstractListModel>

#include "model/entry_index.h"

namespace dova::ui::qt {

class EntryListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    EntryListModel(const model::EntryIndex& index, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Every item has this height (the font's line height + 5).
    void set_item_height(int height);

    // The entry index has already changed; these tell the views. The model
    // keeps its own row count so views see the change happen between the
    // begin and end signals, as Qt expects.
    void reset();
    void inserted(int row);
    void removed(int row);
    void changed(int row);

  private:
    // Falls back to a reset when the notices and the index disagree.
    void check_in_step();

    const model::EntryIndex& index_;
    int rows_ = 0;
    int item_height_ = 19;
};

}  // namespace dova::ui::qt
