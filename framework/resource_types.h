#pragma once
// Dialog templates, menus, icons and strings as plain data. Each program's resource
// file fills one ProgramResources; every toolkit builds its windows from it.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace morv {

/// Progress: a progress bar (the desktop's msctls_progress32), which has no text.
enum class ControlClass { Button, Static, Edit, ListBox, ComboBox, Progress };

/// One control of a dialog template; positions and sizes in dialog units.
struct ControlTemplate {
  int id = -1;                 ///< control ID, -1 for labels and pictures
  ControlClass cls = ControlClass::Static;
  std::string text;            ///< caption text; empty for icons
  int iconId = 0;              ///< icon resource shown by an SS_ICON static, else 0
  int x = 0, y = 0, cx = 0, cy = 0;
  uint32_t style = 0;          ///< WS_*, BS_*, SS_*, ES_*, LBS_*, CBS_* bits
};

/// A dialog template; the dialog's size in dialog units, its font in points.
struct DialogTemplate {
  int id = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int cx = 0, cy = 0;
  std::string caption;
  std::string fontName;
  int pointSize = 0;
  int menuId = 0;              ///< 0 for no menu bar
  std::vector<ControlTemplate> controls;
};

/// A menu entry: a command item, a pop-up with items, or a separator.
struct MenuItem {
  std::string text;
  int id = 0;                  ///< command ID of an item; 0 for pop-ups and separators
  bool separator = false;
  bool helpJustified = false;  ///< placed at the right end of the menu bar
  std::vector<MenuItem> items; ///< non-empty for a pop-up
};

struct MenuTemplate {
  int id = 0;
  std::vector<MenuItem> items;  ///< the menu bar, left to right
};

/// A small picture: `rows` of characters, each looked up in `palette` (0xAARRGGBB).
struct IconResource {
  int id = 0;
  std::vector<std::string> rows;
  std::vector<std::pair<char, uint32_t>> palette;
};

/// Everything one program shows, as data.
struct ProgramResources {
  DialogTemplate mainDialog;
  DialogTemplate aboutBox;
  MenuTemplate mainMenu;
  std::vector<IconResource> icons;
  std::map<unsigned, std::string> strings;
  std::string notice;  ///< start-up notice, lines joined by CR LF

  /// The icon with `id`, or nullptr.
  const IconResource* FindIcon(int id) const {
    for (const auto& icon : icons)
      if (icon.id == id) return &icon;
    return nullptr;
  }
  /// The menu with `id`, or nullptr.
  const MenuTemplate* FindMenu(int id) const { return id != 0 && mainMenu.id == id ? &mainMenu : nullptr; }
  /// The string resource `id`, or the empty text.
  std::string LoadString(unsigned id) const {
    auto it = strings.find(id);
    return it == strings.end() ? std::string() : it->second;
  }
};

}  // namespace morv
