#include "platform/qt/qt_icons.h"

#include <QPixmap>

namespace morv::qt {

QImage IconImage(const IconResource& icon) {
  int height = static_cast<int>(icon.rows.size());
  int width = 0;
  for (const auto& row : icon.rows) width = std::max(width, static_cast<int>(row.size()));
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < height; ++y) {
    const std::string& row = icon.rows[y];
    for (int x = 0; x < static_cast<int>(row.size()); ++x) {
      for (const auto& [key, argb] : icon.palette)
        if (key == row[x]) image.setPixel(x, y, argb);
    }
  }
  return image;
}

QImage IconImage(const IconResource& icon, int size) {
  const QImage picture = IconImage(icon);
  const bool whole = picture.width() > 0 && size % picture.width() == 0;
  return picture.scaled(size, size, Qt::IgnoreAspectRatio, whole ? Qt::FastTransformation : Qt::SmoothTransformation);
}

QIcon ResourceIcon(const ProgramResources& resources, int id) {
  const IconResource* icon = resources.FindIcon(id);
  if (!icon) return QIcon();
  QIcon result;
  for (int size : {16, 24, 32, 48, 64, 128}) result.addPixmap(QPixmap::fromImage(IconImage(*icon, size)));
  return result;
}

}  // namespace morv::qt
