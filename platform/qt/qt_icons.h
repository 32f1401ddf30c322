#pragma once
// Icon resources as Qt images.

#include <QIcon>
#include <QImage>

#include "framework/resource_types.h"

namespace morv::qt {

/// The icon's picture; characters missing from the palette are transparent.
QImage IconImage(const IconResource& icon);
/// The picture `size` pixels square: whole multiples of its own size keep each
/// pixel a sharp block, other sizes are scaled smoothly.
QImage IconImage(const IconResource& icon, int size);
/// The icon `id` of `resources` at the sizes desktops ask for, or an empty icon.
QIcon ResourceIcon(const ProgramResources& resources, int id);

}  // namespace morv::qt
