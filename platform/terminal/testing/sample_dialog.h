#pragma once
// A dialog for the terminal toolkit's tests, shaped like a flashing tool's main
// window (selector, file list, read-only fields, two buttons, a hidden selector and a
// hidden button), plus a handler that records what reaches it.

#include <functional>
#include <string>
#include <vector>

#include "framework/toolkit.h"

namespace morv::terminal::testing {

enum SampleId {
  kExit = 1,
  kHidden = 1000,
  kDevice = 1001,
  kStart = 1003,
  kVersion = 1005,
  kSelected = 1006,
  kAbort = 1007,
  kFiles = 1008,
  kStatus = 1011,
  kRescan = 32771,
  kAbout = 32772,
  kSysAbout = 0x10,
};

inline ControlTemplate Control(int id, ControlClass cls, std::string text, int x, int y, int cx, int cy,
                               uint32_t style) {
  ControlTemplate c;
  c.id = id;
  c.cls = cls;
  c.text = std::move(text);
  c.x = x, c.y = y, c.cx = cx, c.cy = cy;
  c.style = style | WS_CHILD;
  return c;
}

inline ProgramResources SampleResources() {
  constexpr uint32_t V = WS_VISIBLE, T = WS_TABSTOP, B = WS_BORDER;
  ProgramResources r;
  DialogTemplate& d = r.mainDialog;
  d.id = 102;
  d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  d.cx = 214, d.cy = 135;
  d.caption = "Sample Flasher 1.0";
  d.menuId = 130;
  d.controls = {
      Control(kExit, ControlClass::Button, "Exit", 189, 87, 20, 18, V | T | WS_GROUP),
      Control(-1, ControlClass::Static, "Drive ID", 5, 0, 38, 8, V | SS_RIGHT),
      Control(kHidden, ControlClass::ComboBox, "", 15, 0, 16, 190, CBS_DROPDOWNLIST | T),
      Control(kDevice, ControlClass::ComboBox, "", 45, 0, 165, 140, V | T | CBS_DROPDOWNLIST | CBS_SORT),
      Control(kStart, ControlClass::Button, "Update Start", 99, 87, 84, 19, V | T | BS_DEFPUSHBUTTON),
      Control(-1, ControlClass::Static, "Current Firmware Version", 110, 20, 84, 8, V),
      Control(kVersion, ControlClass::Edit, "", 125, 30, 85, 12, V | T | B | ES_READONLY),
      Control(-1, ControlClass::Static, "Selected File", 117, 52, 68, 8, V),
      Control(kSelected, ControlClass::Edit, "", 121, 62, 86, 12, V | B | ES_READONLY | ES_MULTILINE | ES_CENTER),
      Control(kAbort, ControlClass::Button, "Abort", 90, 33, 30, 19, T),
      Control(kFiles, ControlClass::ListBox, "", 5, 30, 85, 95, V | T | B | LBS_NOTIFY | LBS_SORT),
      Control(-1, ControlClass::Static, "Select File", 5, 20, 36, 8, V),
      Control(kStatus, ControlClass::Edit, "", 93, 120, 117, 12, V | T | B | ES_READONLY),
  };
  MenuItem option;
  option.text = "Option";
  MenuItem rescan;
  rescan.text = "Rescan";
  rescan.id = kRescan;
  option.items.push_back(rescan);
  MenuItem about;
  about.text = "About";
  about.id = kAbout;
  about.helpJustified = true;
  r.mainMenu.id = 130;
  r.mainMenu.items = {option, about};

  DialogTemplate& a = r.aboutBox;
  a.id = 100;
  a.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  a.cx = 209, a.cy = 55;
  a.caption = "About Sample";
  a.controls = {
      Control(-1, ControlClass::Static, "Sample DVD-RAM Drive", 40, 10, 119, 8, V | SS_NOPREFIX),
      Control(IDOK, ControlClass::Button, "OK", 170, 5, 32, 14, V | T | BS_DEFPUSHBUTTON),
  };
  return r;
}

/// Records every command; ends the dialog on IDOK and IDCANCEL like the framework.
class RecordingHandler : public DialogHandler {
 public:
  std::vector<std::string> events;
  std::function<void(DialogWindow&)> onInit;
  std::function<void(int id, int code)> onCommand;
  bool focusFirst = false;
  bool handleSysCommands = true;
  DialogWindow* window = nullptr;

  bool OnInitDialog(DialogWindow& w) override {
    window = &w;
    if (onInit) onInit(w);
    return focusFirst;
  }
  void OnCommand(int id, int code) override {
    events.push_back("command " + std::to_string(id) + " " + std::to_string(code));
    if (onCommand) onCommand(id, code);
    if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED && window) window->EndDialog(id);
  }
  bool OnSysCommand(unsigned id, long) override {
    events.push_back("syscommand " + std::to_string(id));
    return handleSysCommands && (id & 0xFFF0u) == kSysAbout;
  }
};

}  // namespace morv::terminal::testing
