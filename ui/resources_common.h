#pragma once
// The parts of the two programs' resources that differ only in a few texts, places
// and sizes, built from those differences.

#include <initializer_list>
#include <string>

#include "framework/resource_types.h"

namespace morv {

/// What the two main dialogs differ in.
struct MainDialogVariant {
  std::string caption;
  bool hostAdapterVisible;       ///< the "HA" label and the host adapter selector
  int hostAdapterWidth;
  std::string idLabel;           ///< the label before the device selector
  int idLabelX, idLabelWidth;
  int deviceX, deviceWidth;
  int firmwareVersionHeight;
  std::string fileLabel;         ///< the label above the selected-file field
  int fileLabelWidth;
};

/// What the two about boxes differ in.
struct AboutBoxVariant {
  std::string caption;
  std::string name;              ///< the program's name line
  int nameWidth;
  std::string version;
  int versionX, versionWidth;
};

DialogTemplate MainDialogTemplate(const MainDialogVariant& variant);
DialogTemplate AboutBoxTemplate(const AboutBoxVariant& variant);
/// "Option > Rescan" and the right-aligned "About".
MenuTemplate MainMenuTemplate();
/// What tells one program's icon from the other's at any size: a badge in its own
/// colour with a glyph drawn by `#` in rows.
struct ProgramBadge {
  uint32_t color;  ///< 0xAARRGGBB
  std::vector<std::string> glyph;
};

/// Icons 132 (window and about box: a disc with the program's badge) and 137 (the
/// main dialog's picture).
std::vector<IconResource> ProgramIcons(const ProgramBadge& badge);
/// The strings both programs carry besides their own.
std::map<unsigned, std::string> CommonStrings();
/// `lines` joined by CR LF, without one after the last.
std::string JoinLines(std::initializer_list<const char*> lines);

}  // namespace morv
