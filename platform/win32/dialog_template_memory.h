#pragma once
// A dialog template in the system's binary form (DLGTEMPLATE and its items),
// assembled in memory from one of the programs' templates, so the system's dialog
// manager lays the dialog out in dialog units itself. The menu bar and the icons
// of SS_ICON pictures are not part of it: they are data of ours, set once the
// dialog exists.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/resource_types.h"

namespace morv::win32 {

/// The template as DialogBoxIndirectParam takes it: 16-bit words, 32-bit aligned
/// where the items begin (a vector of uint32_t keeps the start aligned).
std::vector<uint32_t> BuildDialogTemplate(const DialogTemplate& dialog);

/// The system's predefined class atom for a control class (0x0080 button ...); the
/// progress bar has none (its template item names the class).
uint16_t ControlClassAtom(ControlClass cls);

/// `text` (the programs' texts are in the system's ANSI code page) as UTF-16 units.
std::u16string Widen(const std::string& text);

}  // namespace morv::win32
