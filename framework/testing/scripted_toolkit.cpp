#include "framework/testing/scripted_toolkit.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "framework/list_order.h"
#include "framework/message_box_buttons.h"

namespace morv {
namespace {

std::string Hex(unsigned value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", value);
  return buf;
}

bool MenuHas(const std::vector<MenuItem>& items, int commandId) {
  for (const auto& item : items) {
    if (!item.separator && item.items.empty() && item.id == commandId) return true;
    if (MenuHas(item.items, commandId)) return true;
  }
  return false;
}

}  // namespace

bool ScriptedControl::Sorted() const {
  if (cls == ControlClass::ListBox) return (style & LBS_SORT) != 0;
  if (cls == ControlClass::ComboBox) return (style & CBS_SORT) != 0;
  return false;
}

bool ScriptedControl::IsDefaultButton() const {
  return cls == ControlClass::Button && (style & 0xF) == BS_DEFPUSHBUTTON;
}

bool ScriptedControl::IsTabStop() const { return (style & WS_TABSTOP) != 0; }

// --- ScriptedWindow ---------------------------------------------------------

ScriptedWindow::ScriptedWindow(const DialogTemplate& dialog, const ProgramResources& res,
                               std::vector<std::string>& faults)
    : dialogTemplate(dialog), resources(res), caption(dialog.caption),
      hasSystemMenu((dialog.style & WS_SYSMENU) != 0), m_faults(faults) {
  for (const auto& t : dialog.controls) {
    ScriptedControl c;
    c.id = t.id;
    c.cls = t.cls;
    c.style = t.style;
    c.text = t.text;
    c.enabled = (t.style & WS_DISABLED) == 0;
    c.visible = (t.style & WS_VISIBLE) != 0;
    controls.push_back(std::move(c));
  }
}

ScriptedControl* ScriptedWindow::Find(int id) {
  if (id == -1) return nullptr;
  for (auto& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

const ScriptedControl* ScriptedWindow::Find(int id) const {
  return const_cast<ScriptedWindow*>(this)->Find(id);
}

const ScriptedControl& ScriptedWindow::Control(int id) const {
  static const ScriptedControl kNone;
  const ScriptedControl* c = Expect(id, "Control");
  return c ? *c : kNone;
}

ScriptedControl* ScriptedWindow::Expect(int id, const char* operation) {
  ScriptedControl* c = Find(id);
  if (!c) Fault(std::string(operation) + " on missing control " + std::to_string(id));
  return c;
}

const ScriptedControl* ScriptedWindow::Expect(int id, const char* operation) const {
  return const_cast<ScriptedWindow*>(this)->Expect(id, operation);
}

bool ScriptedWindow::HasMenuCommand(int commandId) const {
  const MenuTemplate* menu = resources.FindMenu(dialogTemplate.menuId);
  return menu && MenuHas(menu->items, commandId);
}

void ScriptedWindow::FocusFirstTabStop() {
  for (const auto& c : controls)
    if (c.id != -1 && c.visible && c.enabled && c.IsTabStop()) {
      focus = c.id;
      return;
    }
}

void ScriptedWindow::EndDialog(int r) {
  ended = true;
  result = r;
}

void ScriptedWindow::SetWindowText(int id, const std::string& text) {
  if (auto* c = Expect(id, "SetWindowText")) c->text = text;
  textsShown.push_back({id, text});
}

std::string ScriptedWindow::GetWindowText(int id) const {
  const auto* c = Expect(id, "GetWindowText");
  if (!c) return {};
  // A drop-down list shows its selected entry.
  if (c->cls == ControlClass::ComboBox && c->curSel >= 0) return c->entries[c->curSel];
  return c->text;
}

void ScriptedWindow::EnableWindow(int id, bool enable) {
  if (auto* c = Expect(id, "EnableWindow")) c->enabled = enable;
}

bool ScriptedWindow::IsWindowEnabled(int id) const {
  const auto* c = Expect(id, "IsWindowEnabled");
  return c && c->enabled;
}

bool ScriptedWindow::IsWindowVisible(int id) const {
  const auto* c = Expect(id, "IsWindowVisible");
  return c && c->visible;
}

void ScriptedWindow::SetFocus(int id) {
  if (Expect(id, "SetFocus")) focus = id;
}

void ScriptedWindow::SetIcon(int iconId, bool big) {
  if (!resources.FindIcon(iconId)) Fault("SetIcon with missing icon " + std::to_string(iconId));
  (big ? bigIcon : smallIcon) = iconId;
}

void ScriptedWindow::SetProgress(int id, int done, int total) {
  auto* c = Expect(id, "SetProgress");
  if (!c) return;
  if (c->cls != ControlClass::Progress) Fault("SetProgress on control " + std::to_string(id) + ", no progress bar");
  c->progressDone = done;
  c->progressTotal = total;
  c->visible = total > 0;
  progressShown.emplace_back(done, total);
}

void ScriptedWindow::ResetContent(int id) {
  auto* c = Expect(id, "ResetContent");
  if (!c) return;
  c->entries.clear();
  c->curSel = -1;
}

int ScriptedWindow::AddString(int id, const std::string& text) {
  auto* c = Expect(id, "AddString");
  if (!c || !c->IsList()) return LB_ERR;
  int index = c->Sorted() ? InsertionIndex(c->entries, text) : static_cast<int>(c->entries.size());
  c->entries.insert(c->entries.begin() + index, text);
  textsShown.push_back({id, text});
  if (c->curSel >= index) ++c->curSel;
  return index;
}

int ScriptedWindow::SetCurSel(int id, int index) {
  auto* c = Expect(id, "SetCurSel");
  if (!c || !c->IsList()) return CB_ERR;
  if (index < 0 || index >= static_cast<int>(c->entries.size())) {
    c->curSel = -1;
    return CB_ERR;
  }
  c->curSel = index;
  return index;
}

int ScriptedWindow::GetCurSel(int id) const {
  const auto* c = Expect(id, "GetCurSel");
  return c ? c->curSel : CB_ERR;
}

int ScriptedWindow::GetCount(int id) const {
  const auto* c = Expect(id, "GetCount");
  return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string ScriptedWindow::GetLBText(int id, int index) const {
  const auto* c = Expect(id, "GetLBText");
  if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return {};
  return c->entries[index];
}

void ScriptedWindow::AppendSystemMenuSeparator() {
  if (!hasSystemMenu) Fault("system menu separator on a window without one");
  systemMenu.push_back({});
}

void ScriptedWindow::AppendSystemMenuItem(unsigned id, const std::string& text) {
  if (!hasSystemMenu) Fault("system menu item on a window without one");
  systemMenu.push_back({id, text});
}

// --- User actions -----------------------------------------------------------

namespace {

/// A control the operator can reach: present, visible and enabled.
ScriptedControl* Reachable(ScriptedToolkit& toolkit, ScriptedWindow& window, int id, const std::string& what) {
  ScriptedControl* c = window.Find(id);
  if (!c || !c->visible || !c->enabled) {
    toolkit.events.push_back("ignored " + what);
    return nullptr;
  }
  return c;
}

}  // namespace

UserAction ScriptedToolkit::Click(int id) {
  std::string what = "click " + std::to_string(id);
  return {what, [id, what](ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler& handler) {
            ScriptedControl* c = Reachable(toolkit, window, id, what);
            if (!c || !c->IsPushButton()) return;
            if (c->IsTabStop()) window.focus = id;
            handler.OnCommand(id, BN_CLICKED);
          }};
}

UserAction ScriptedToolkit::Choose(int id, int index) {
  std::string what = "choose " + std::to_string(id) + " #" + std::to_string(index);
  return {what, [id, index, what](ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler& handler) {
            ScriptedControl* c = Reachable(toolkit, window, id, what);
            if (!c || !c->IsList() || index < 0 || index >= static_cast<int>(c->entries.size())) {
              if (c) toolkit.events.push_back("ignored " + what);
              return;
            }
            window.focus = id;
            c->curSel = index;
            if (c->cls == ControlClass::ComboBox) {
              handler.OnCommand(id, CBN_SELCHANGE);
            } else if (c->style & LBS_NOTIFY) {
              handler.OnCommand(id, LBN_SELCHANGE);
            }
          }};
}

UserAction ScriptedToolkit::Menu(int commandId) {
  std::string what = "menu " + std::to_string(commandId);
  return {what, [commandId, what](ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler& handler) {
            if (!window.HasMenuCommand(commandId)) {
              toolkit.events.push_back("ignored " + what);
              return;
            }
            handler.OnCommand(commandId, 0);
          }};
}

UserAction ScriptedToolkit::SysCommand(unsigned id) {
  std::string what = "syscommand " + Hex(id).substr(4);
  return {what, [id](ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler& handler) {
            if (handler.OnSysCommand(id, 0)) return;
            toolkit.events.push_back("default-syscommand " + Hex(id).substr(4));
            if ((id & 0xFFF0u) == SC_CLOSE) {
              handler.OnCommand(IDCANCEL, BN_CLICKED);
            } else if ((id & 0xFFF0u) == SC_MINIMIZE) {
              window.iconic = true;
            }
          }};
}

namespace {

void MoveFocus(ScriptedWindow& window) {
  std::vector<const ScriptedControl*> stops;
  for (const auto& c : window.controls)
    if (c.id != -1 && c.visible && c.enabled && c.IsTabStop()) stops.push_back(&c);
  if (stops.empty()) return;
  auto at = std::find_if(stops.begin(), stops.end(), [&](const ScriptedControl* c) { return c->id == window.focus; });
  window.focus = (at == stops.end() || at + 1 == stops.end()) ? stops.front()->id : (*(at + 1))->id;
}

void PressEnter(ScriptedWindow& window, DialogHandler& handler) {
  const ScriptedControl* focused = window.Find(window.focus);
  if (focused && focused->IsPushButton()) {
    if (focused->enabled && focused->visible) handler.OnCommand(focused->id, BN_CLICKED);
    return;
  }
  for (const auto& c : window.controls)
    if (c.IsDefaultButton()) {
      if (c.enabled) handler.OnCommand(c.id, BN_CLICKED);
      return;
    }
  handler.OnCommand(IDOK, BN_CLICKED);
}

/// An arrow in the focused list or closed drop-down list: selects where it lands.
void MoveSelection(ScriptedWindow& window, ListMove move, DialogHandler& handler) {
  ScriptedControl* c = window.Find(window.focus);
  if (!c || !c->IsList() || !c->visible || !c->enabled) return;
  int moved = MovedSelection(move, c->curSel, static_cast<int>(c->entries.size()), 1);
  if (moved < 0 || moved == c->curSel) return;
  c->curSel = moved;
  if (c->cls == ControlClass::ComboBox) {
    handler.OnCommand(c->id, CBN_SELCHANGE);
  } else if (c->style & LBS_NOTIFY) {
    handler.OnCommand(c->id, LBN_SELCHANGE);
  }
}

const char* KeyName(OperatorKey key) {
  switch (key) {
    case OperatorKey::Tab: return "tab";
    case OperatorKey::Escape: return "escape";
    case OperatorKey::Enter: return "enter";
    case OperatorKey::Up: return "up";
    case OperatorKey::Down: return "down";
  }
  return "?";
}

}  // namespace

UserAction ScriptedToolkit::Key(OperatorKey key) {
  return {KeyName(key),
          [key](ScriptedToolkit&, ScriptedWindow& window, DialogHandler& handler) {
            switch (key) {
              case OperatorKey::Tab: return MoveFocus(window);
              case OperatorKey::Enter: return PressEnter(window, handler);
              case OperatorKey::Escape: return handler.OnCommand(IDCANCEL, BN_CLICKED);
              case OperatorKey::Up: return MoveSelection(window, ListMove::Up, handler);
              case OperatorKey::Down: return MoveSelection(window, ListMove::Down, handler);
            }
          },
          true, key};
}

UserAction ScriptedToolkit::KeyInWait(OperatorKey key) {
  return {std::string(KeyName(key)) + " in wait",
          [key](ScriptedToolkit&, ScriptedWindow& window, DialogHandler& handler) {
            // Tab, Enter and Escape mean nothing to a list, an edit or a combo box,
            // and a push button takes only Space: no dialog manager, no action.
            if (key == OperatorKey::Up) MoveSelection(window, ListMove::Up, handler);
            if (key == OperatorKey::Down) MoveSelection(window, ListMove::Down, handler);
          },
          true, key};
}

UserAction ScriptedToolkit::HeldKey(OperatorKey key) {
  UserAction action = Key(key);
  action.description = std::string(KeyName(key)) + " held";
  if (!OnlyMoves(key)) action.run = [](ScriptedToolkit&, ScriptedWindow&, DialogHandler&) {};
  return action;
}

UserAction ScriptedToolkit::Enter() { return Key(OperatorKey::Enter); }

UserAction ScriptedToolkit::Escape() { return Key(OperatorKey::Escape); }

UserAction ScriptedToolkit::Focus(int id) {
  std::string what = "focus " + std::to_string(id);
  return {what, [id, what](ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler&) {
            if (Reachable(toolkit, window, id, what)) window.focus = id;
          }};
}

bool ScriptedToolkit::CloseRequested() {
  if (closeRequest && closeRequest->Requested()) m_closeRequested = true;
  return m_closeRequested;
}

UserAction ScriptedToolkit::CloseFromOutside() {
  return {"close request from outside",
          [](ScriptedToolkit& toolkit, ScriptedWindow&, DialogHandler&) { toolkit.RequestClose(); }};
}

UserAction ScriptedToolkit::Notify(int id, int code) {
  return {"notify " + std::to_string(id) + " " + std::to_string(code),
          [id, code](ScriptedToolkit&, ScriptedWindow&, DialogHandler& handler) { handler.OnCommand(id, code); }};
}

UserAction ScriptedToolkit::Inspect(std::function<void(ScriptedWindow&)> look) {
  return {"inspect", [look = std::move(look)](ScriptedToolkit&, ScriptedWindow& window, DialogHandler&) {
            look(window);
          }};
}

// --- ScriptedToolkit --------------------------------------------------------

void ScriptedToolkit::Run(const UserAction& action) {
  Running top = m_stack.back();
  events.push_back("action " + action.description);
  action.run(*this, *top.window, *top.handler);
}

int ScriptedToolkit::DoModal(const DialogTemplate& dialog, const ProgramResources& resources,
                             DialogHandler& handler) {
  windows.push_back(std::make_unique<ScriptedWindow>(dialog, resources, faults));
  ScriptedWindow& window = *windows.back();
  m_stack.push_back({&window, &handler});
  events.push_back("dialog " + window.caption);

  if (handler.OnInitDialog(window) && !window.ended) window.FocusFirstTabStop();
  bool closeDelivered = false;
  while (!window.ended && (!script.empty() || (CloseRequested() && !closeDelivered))) {
    if (CloseRequested() && !closeDelivered) {
      closeDelivered = true;
      events.push_back("close request");
      handler.OnCommand(IDCANCEL, BN_CLICKED);
      continue;
    }
    if (!pending.empty() && pending.front().typed) {
      // Typed during a wait that did not take it: the dialog's own loop gets it now.
      const OperatorKey key = pending.front().key;
      pending.pop_front();
      Run(Key(key));
      continue;
    }
    UserAction action = std::move(script.front());
    script.pop_front();
    Run(action);
  }
  if (!window.ended) window.EndDialog(IDCANCEL);

  m_stack.pop_back();
  events.push_back("end " + window.caption + " " + std::to_string(window.result));
  return window.result;
}

int ScriptedToolkit::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
  boxes.push_back({text, caption, type});
  events.push_back("box " + Hex(type) + " " + caption + ": " + text);
  if (CloseRequested()) return MessageBoxUnansweredResult(type);
  for (auto it = pending.begin(); it != pending.end();) {
    if (!it->typed) {
      ++it;
      continue;
    }
    events.push_back("flushed " + it->description);
    it = pending.erase(it);
  }
  std::vector<int> buttons = MessageBoxButtons(type);
  size_t focus = 0;
  while (!boxKeys.empty()) {
    KeyStroke stroke = boxKeys.front();
    boxKeys.pop_front();
    if (stroke.key == OperatorKey::Tab) focus = (focus + 1) % buttons.size();
    if (stroke.repeat) continue;
    if (stroke.key == OperatorKey::Enter) return buttons[focus];
    if (stroke.key == OperatorKey::Escape && MessageBoxEscapeResult(type) != 0) return MessageBoxEscapeResult(type);
  }
  if (answers.empty()) return buttons.front();
  int answer = answers.front();
  answers.pop_front();
  if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) {
    faults.push_back("answer " + std::to_string(answer) + " impossible for box type " + Hex(type));
  }
  return answer;
}

void ScriptedToolkit::MessageBeep(unsigned type) {
  beeps.push_back(type);
  events.push_back("beep " + Hex(type));
}

void ScriptedToolkit::SetCursor(CursorShape shape) {
  cursor = shape;
  cursorChanges.push_back(shape);
  events.push_back(shape == CursorShape::Wait ? "cursor wait" : "cursor arrow");
}

void ScriptedToolkit::PaintExposed() {
  ++paints;
  uncovered = false;
}

void ScriptedToolkit::PumpOneMessage() {
  ++pumps;
  uncovered = false;
  if (pending.empty() || m_stack.empty()) return;
  UserAction action = std::move(pending.front());
  pending.pop_front();
  Run(action);
}

std::vector<std::string> ScriptedToolkit::EventsStartingWith(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& e : events)
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  return out;
}

}  // namespace morv
