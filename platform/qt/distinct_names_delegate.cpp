#include "platform/qt/distinct_names_delegate.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QStyle>

#include <string>
#include <vector>

#include "framework/text_elide.h"

namespace morv::qt {

void DistinctNamesDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  const QWidget* view = option->widget;
  QStyle* style = view ? view->style() : QApplication::style();
  // The style draws the text inside its item rectangle less a focus margin each side.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  const int room = style->subElementRect(QStyle::SE_ItemViewItemText, option, view).width() - 2 * margin;
  const QFontMetrics& metrics = option->fontMetrics;
  if (metrics.horizontalAdvance(option->text) <= room) return;
  std::vector<std::string> entries;
  const QAbstractItemModel* model = index.model();
  for (int row = 0; row < model->rowCount(index.parent()); ++row)
    entries.push_back(model->index(row, index.column(), index.parent()).data().toString().toStdString());
  option->text = QString::fromStdString(ElideKeepingDifference(
      option->text.toStdString(), entries, "\u2026",
      [&](std::string_view s) { return metrics.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<int>(s.size()))) <= room; }));
}

}  // namespace morv::qt
