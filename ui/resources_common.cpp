#include "ui/resources_common.h"

#include "framework/feedback.h"
#include "ui/resource_ids.h"
#include "framework/win32_types.h"

namespace morv {
namespace {

constexpr uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr uint32_t kLabel = SS_RIGHT | SS_CENTERIMAGE | WS_GROUP;
constexpr uint32_t kLeftLabel = SS_LEFT | WS_GROUP;
constexpr uint32_t kReadOnlyEdit = WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
constexpr const char* kDialogFont = "MS Sans Serif";
constexpr int kDialogPointSize = 10;

/// Visible unless `visible` is false: hidden controls are created without WS_VISIBLE.
constexpr uint32_t Shown(bool visible) { return visible ? kChild : WS_CHILD; }

ControlTemplate Control(int id, ControlClass cls, std::string text, int x, int y, int cx, int cy, uint32_t style) {
  ControlTemplate c;
  c.id = id;
  c.cls = cls;
  c.text = std::move(text);
  c.x = x, c.y = y, c.cx = cx, c.cy = cy;
  c.style = style;
  return c;
}

ControlTemplate Icon(int iconId, int x, int y, uint32_t extraStyle) {
  ControlTemplate c = Control(-1, ControlClass::Static, "", x, y, 20, 20, kChild | SS_ICON | extraStyle);
  c.iconId = iconId;
  return c;
}

/// Draws `badge` in the bottom right corner of `icon`: a square with clipped
/// corners in the badge's colour, a dark border and the glyph in white, centred.
void AddBadge(IconResource& icon, const ProgramBadge& badge) {
  constexpr int kSize = 15;
  const int top = static_cast<int>(icon.rows.size()) - kSize - 1;
  const int left = static_cast<int>(icon.rows[0].size()) - kSize - 1;
  const int glyphRows = static_cast<int>(badge.glyph.size());
  const int glyphCols = static_cast<int>(badge.glyph[0].size());
  const int glyphTop = (kSize - glyphRows + 1) / 2, glyphLeft = (kSize - glyphCols + 1) / 2;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool corner = (y == 0 || y == kSize - 1) && (x == 0 || x == kSize - 1);
      const bool border = y == 0 || x == 0 || y == kSize - 1 || x == kSize - 1 ||
                          ((y == 1 || y == kSize - 2) && (x == 1 || x == kSize - 2));
      const int gy = y - glyphTop, gx = x - glyphLeft;
      const bool ink = gy >= 0 && gy < glyphRows && gx >= 0 && gx < glyphCols && badge.glyph[gy][gx] == '#';
      icon.rows[top + y][left + x] = corner ? icon.rows[top + y][left + x] : border ? 'K' : ink ? 'W' : 'B';
    }
  icon.palette.push_back({'K', 0xFF202020});
  icon.palette.push_back({'W', 0xFFFFFFFF});
  icon.palette.push_back({'B', badge.color});
}

/// Gives `icon` a rim of `color` on every transparent pixel next to an opaque one.
void AddRim(IconResource& icon, uint32_t color) {
  auto opaque = [&](int y, int x) {
    if (y < 0 || x < 0 || y >= static_cast<int>(icon.rows.size()) || x >= static_cast<int>(icon.rows[y].size()))
      return false;
    for (const auto& [key, argb] : icon.palette)
      if (key == icon.rows[y][x]) return (argb >> 24) != 0;
    return false;
  };
  std::vector<std::string> rimmed = icon.rows;
  for (int y = 0; y < static_cast<int>(rimmed.size()); ++y)
    for (int x = 0; x < static_cast<int>(rimmed[y].size()); ++x)
      if (!opaque(y, x))
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (opaque(y + dy, x + dx)) rimmed[y][x] = 'R';
  icon.rows = std::move(rimmed);
  icon.palette.push_back({'R', color});
}

}  // namespace

DialogTemplate MainDialogTemplate(const MainDialogVariant& v) {
  using enum ControlClass;
  DialogTemplate d;
  d.id = IDD_FLASH_DIALOG;
  d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
  d.exStyle = WS_EX_APPWINDOW;
  d.cx = 214, d.cy = 135;
  d.caption = v.caption;
  d.fontName = kDialogFont;
  d.pointSize = kDialogPointSize;
  d.menuId = IDR_MAIN_MENU;
  d.controls = {
      Control(IDOK, Button, "Exit", 189, 87, 20, 18, kChild | BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP),
      Control(-1, Static, "HA", 2, 0, 11, 8, Shown(v.hostAdapterVisible) | kLabel),
      Control(-1, Static, v.idLabel, v.idLabelX, 0, v.idLabelWidth, 8, kChild | kLabel),
      Control(-1, Static, "LUN", 48, 15, 15, 8, Shown(false) | kLabel),
      Control(IDC_HOST_ADAPTER, ComboBox, "", 15, 0, v.hostAdapterWidth, 190,
              Shown(v.hostAdapterVisible) | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP),
      Control(IDC_DEVICE, ComboBox, "", v.deviceX, 0, v.deviceWidth, 140,
              kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
      Control(IDC_LUN, ComboBox, "", 63, 12, 30, 120, Shown(false) | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
      Control(IDC_UPDATE_START, Button, "Update Start", 99, 87, 84, 19,
              kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP),
      Control(-1, Static, "Current Firmware Version", 110, 20, 84, 8, kChild | kLeftLabel),
      Control(IDC_FIRMWARE_VERSION, Edit, "", 125, 30, 85, v.firmwareVersionHeight,
              kChild | kReadOnlyEdit | WS_TABSTOP),
      Control(-1, Static, v.fileLabel, 117, 52, v.fileLabelWidth, 8, kChild | kLeftLabel),
      Control(IDC_SELECTED_FILE, Edit, "", 121, 62, 86, 12, kChild | kReadOnlyEdit | ES_MULTILINE | ES_CENTER),
      Control(IDC_ABORT, Button, "Abort", 90, 33, 30, 19, Shown(false) | BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP),
      Control(IDC_FILE_LIST, ListBox, "", 5, 30, 85, 95,
              kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT),
      Control(-1, Static, "Select File", 5, 20, 36, 8, kChild | kLeftLabel),
      Icon(IDI_PICTURE, 97, 60, 0),
      Control(IDC_STATUS, Edit, "", 93, 120, 117, 12, kChild | kReadOnlyEdit | WS_TABSTOP),
      // Ours: in the free strip between the buttons and the status line, over the
      // status line's width; hidden until a download starts.
      Control(IDC_PROGRESS, Progress, "", 93, 109, 117, 8, Shown(false)),
  };
  return d;
}

DialogTemplate AboutBoxTemplate(const AboutBoxVariant& v) {
  using enum ControlClass;
  constexpr uint32_t kText = kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP;
  DialogTemplate d;
  d.id = IDD_ABOUTBOX;
  d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  d.cx = 209, d.cy = 55;
  d.caption = v.caption;
  d.fontName = kDialogFont;
  d.pointSize = kDialogPointSize;
  d.controls = {
      Icon(IDR_MAINFRAME, 10, 15, SS_SUNKEN),
      Control(-1, Static, "KESTREL DVD-RAM Drive", 40, 10, 119, 8, kText),
      Control(-1, Static, "(C) Morvantide developers", 65, 40, 119, 8, kChild | SS_LEFT | WS_GROUP),
      Control(IDOK, Button, "OK", 170, 5, 32, 14, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP),
      Control(-1, Static, v.name, 55, 25, v.nameWidth, 8, kText),
      Control(-1, Static, v.version, v.versionX, 25, v.versionWidth, 8, kText),
  };
  return d;
}

MenuTemplate MainMenuTemplate() {
  MenuTemplate menu;
  menu.id = IDR_MAIN_MENU;
  MenuItem rescan;
  rescan.text = "Rescan";
  rescan.id = ID_OPTION_RESCAN;
  MenuItem option;
  option.text = "Option";
  option.items = {rescan};
  MenuItem about;
  about.text = "About";
  about.id = ID_ABOUT;
  about.helpJustified = true;
  menu.items = {option, about};
  return menu;
}

std::vector<IconResource> ProgramIcons(const ProgramBadge& badge) {
  // A disc: silver with a light sheen, a grey hub and a transparent hole.
  IconResource disc{IDR_MAINFRAME,
                    {
                        "................................",
                        "...........kkkkkkkkkk...........",
                        "........kkkcssssssssskkk........",
                        ".......kkcccssssssssssskk.......",
                        "......kcccccsssssssssssssk......",
                        ".....kwccccccsssssssssssssk.....",
                        "....kwwwcccccssssssssssssssk....",
                        "...kwwwwwccccsssssssssssssssk...",
                        "..kkwwwwwwccccsssssssssssssskk..",
                        "..kwwwwwwwwcccsssssssssssssssk..",
                        "..kwwwwwwwwcccggggsssssssssssk..",
                        ".kwwwwwwwwwwggggggggssssssssssk.",
                        ".kssswwwwwwggggkkggggsssssssssk.",
                        ".ksssssswwwggkk..kkggsssssssssk.",
                        ".kssssssssgggk....kgggssssssssk.",
                        ".kssssssssggk......kggssssssssk.",
                        ".kssssssssggk......kggssssssssk.",
                        ".kssssssssgggk....kgggssssssssk.",
                        ".ksssssssssggkk..kkggwwwssssssk.",
                        ".ksssssssssggggkkggggwwwwwwsssk.",
                        ".kssssssssssggggggggwwwwwwwwwwk.",
                        "..ksssssssssssggggcwwwwwwwwwwk..",
                        "..ksssssssssssssccccwwwwwwwwwk..",
                        "..kksssssssssssscccccwwwwwwwkk..",
                        "...ksssssssssssssccccwwwwwwwk...",
                        "....ksssssssssssscccccwwwwwk....",
                        ".....ksssssssssssccccccwwwk.....",
                        "......kssssssssssccccccwwk......",
                        ".......kksssssssscccccckk.......",
                        "........kkksssssscccckkk........",
                        "...........kkkkkkkkkk...........",
                        "................................",
                    },
                    {{'.', 0x00000000}, {'k', 0xFF202020}, {'s', 0xFFC8C8D0}, {'w', 0xFFF4F4FA},
                     {'c', 0xFF9FD8E8}, {'g', 0xFF8C8C94}}};
  AddBadge(disc, badge);
  // A chip with a red arrow pointing into it: new firmware going in. The top row is
  // left free for the rim.
  IconResource chip{IDI_PICTURE,
                    {
                        "................................",
                        ".............krrrrk.............",
                        ".............krrrrk.............",
                        ".............krrrrk.............",
                        ".............krrrrk.............",
                        ".............krrrrk.............",
                        ".............krrrrk.............",
                        ".............krrrrk.............",
                        "........kkkkkkrrrrkkkkkk........",
                        "........krrrrrrrrrrrrrrk........",
                        ".......kkkrrrrrrrrrrrrkkk.......",
                        ".......kdkkrrrrrrrrrrkkdk.......",
                        "....ssskddkkrrrrrrrrkkddksss....",
                        "....ssskdddkkrrrrrrkkdddksss....",
                        ".......kddddkkrrrrkkddddk.......",
                        "....ssskdddddkkrrkkdddddksss....",
                        "....ssskddddddkkkkddddddksss....",
                        ".......kddddddddddddddddk.......",
                        "....ssskddddddddddddddddksss....",
                        "....ssskddddddddddddddddksss....",
                        ".......kddddddddddddddddk.......",
                        "....ssskddddddddddddddddksss....",
                        "....ssskddddddddddddddddksss....",
                        ".......kddddddddddddddddk.......",
                        "....ssskddwddwdddddwddwdksss....",
                        "....ssskddddddddddddddddksss....",
                        ".......kddddddddddddddddk.......",
                        ".......kkkkkkkkkkkkkkkkkk.......",
                        ".........ss.ss.ss.ss.ss.........",
                        ".........ss.ss.ss.ss.ss.........",
                        ".........ss.ss.ss.ss.ss.........",
                        "................................",
                    },
                    {{'.', 0x00000000}, {'k', 0xFF101010}, {'d', 0xFF3A3A44}, {'s', 0xFFB8B8C0},
                     {'w', 0xFFE8E8E8}, {'r', 0xFFD02828}}};
  // The black chip would vanish into a dark window: a light rim keeps its outline.
  AddRim(chip, 0xFFF0F0F4);
  return {disc, chip};
}

std::map<unsigned, std::string> CommonStrings() {
  return {{kStringNoMemory, "Insufficient memory to perform operation."}};
}

std::string JoinLines(std::initializer_list<const char*> lines) {
  std::string text;
  bool first = true;
  for (const char* line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

}  // namespace morv
