#pragma once
// Icon resources as Qt images.

#include <QIcon>
#include <QImage>

#include "framework/resource_types.h"

namespace morv::qt {

/// The icon's picture; characters missing from the palette are transparent.
QImage IconImage(const IconResource& icon);
/// The icon `id` of `resources`, or an empty icon.
QIcon ResourceIcon(const ProgramResources& resources, int id);

}  // namespace morv::qt
