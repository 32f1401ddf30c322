#pragma once
// Draws a list's entries shortened so that entries alike at both ends stay apart:
// a name too wide for the list keeps what differs from the other entries, then as
// much of its start and end as fits (Qt's own middle cut would show
// "..._V104_FINAL.OUC" and "..._V105_FINAL.OUC" the same). The entries' texts are
// left as they are; only what is painted is shortened.

#include <QStyledItemDelegate>

namespace morv::qt {

class DistinctNamesDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  /// Puts the shortened text into the option the entry is painted with.
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace morv::qt
