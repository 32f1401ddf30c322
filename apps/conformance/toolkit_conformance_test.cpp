// One suite for every toolkit: the dialog logic is written against ui/toolkit.h
// alone, so each toolkit must give the same answers to the same operator. A toolkit
// joins by adding its driver to `Toolkits` below, or, when only one system has it,
// to that system's SystemToolkits (apps/linux/, apps/windows/).

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "apps/conformance/scripted_driver.h"
#include "system_toolkit_drivers.h"  // from the folder of the system being built for
#include "ui/resource_ids.h"
#include "ui/resources.h"

namespace morv::conformance {
namespace {

using Commands = std::vector<std::pair<int, int>>;

/// The notifications the system's own controls send about their focus and their
/// drop-down list, by their desktop numbers. No dialog here acts upon them (message
/// maps match id and code exactly), and toolkits that draw their own controls do
/// not send them. The numbers mean different things in different classes (4: a list
/// box gains the focus, a combo box loses it), so the control's class decides.
bool TellsOfFocusOrDropDown(ControlClass cls, int code) {
  struct Notice {
    ControlClass cls;
    int code;
  };
  static constexpr Notice kNotices[] = {
      {ControlClass::ListBox, 4},   {ControlClass::ListBox, 5},    // gains, loses the focus
      {ControlClass::ComboBox, 3},  {ControlClass::ComboBox, 4},   // gains, loses the focus
      {ControlClass::ComboBox, 7},  {ControlClass::ComboBox, 8},   // its list drops down, closes up
      {ControlClass::ComboBox, 9},  {ControlClass::ComboBox, 10},  // the list's choice is taken, dropped
      {ControlClass::Edit, 0x100},  {ControlClass::Edit, 0x200},   // gains, loses the focus
      {ControlClass::Button, 6},    {ControlClass::Button, 7},     // gains, loses the focus
  };
  return std::any_of(std::begin(kNotices), std::end(kNotices),
                     [&](const Notice& n) { return n.cls == cls && n.code == code; });
}

/// A dialog procedure that records the commands it gets, as the dialogs' message maps
/// see them (focus and drop-down notifications left out); Escape ends the dialog.
struct Recorder : DialogHandler {
  std::function<void(DialogWindow&)> onInit;
  std::function<void(DialogWindow&, int id)> onCommand;
  Commands commands;
  DialogWindow* window = nullptr;
  const DialogTemplate& dialog = Resources4().mainDialog;  // the one the suite runs

  bool OnInitDialog(DialogWindow& w) override {
    window = &w;
    if (onInit) onInit(w);
    return true;
  }
  void OnCommand(int id, int code) override {
    for (const ControlTemplate& c : dialog.controls)
      if (c.id == id && TellsOfFocusOrDropDown(c.cls, code)) return;
    commands.emplace_back(id, code);
    if (onCommand) onCommand(*window, id);
    if (id == IDCANCEL) window->EndDialog(IDCANCEL);
  }
  bool OnSysCommand(unsigned, long) override { return false; }
};

void FillFileList(DialogWindow& w) {
  for (const char* name : {"C.OUC", "A.OUC", "B.OUC"}) w.AddString(IDC_FILE_LIST, name);
}

template <typename Driver>
class ToolkitConformance : public ::testing::Test {
 protected:
  /// Morvantide4's main dialog: an unsorted visible combo box (1000), a sorted
  /// one (1001), a sorted notifying list box (1008) and both push buttons.
  int Run(Recorder& recorder, std::vector<OperatorStep> steps) {
    return driver.Run(Resources4().mainDialog, Resources4(), recorder, std::move(steps));
  }
  Driver driver;
};

struct DriverName {
  template <typename Driver>
  static std::string GetName(int) {
    return Driver::kName;
  }
};

using Toolkits = SystemToolkits<ScriptedDriver>;
TYPED_TEST_SUITE(ToolkitConformance, Toolkits, DriverName);

TYPED_TEST(ToolkitConformance, ListsAndCombosKeepTheirEntriesAsCodeSetsThem) {
  Recorder recorder;
  this->Run(recorder, {OperatorStep::Look([](DialogWindow& w) {
              for (const char* e : {"2:b", "1:a"}) w.AddString(IDC_HOST_ADAPTER, e);
              EXPECT_EQ(w.GetLBText(IDC_HOST_ADAPTER, 1), "1:a");  // unsorted: appended
              EXPECT_EQ(w.AddString(IDC_DEVICE, "E:KESTREL"), 0);
              EXPECT_EQ(w.AddString(IDC_DEVICE, "D:DISK"), 0);  // sorted: inserted before
              EXPECT_EQ(w.AddString(IDC_DEVICE, "F:OTHER"), 2);
              EXPECT_EQ(w.GetCount(IDC_DEVICE), 3);
              EXPECT_EQ(w.GetCurSel(IDC_DEVICE), CB_ERR);  // adding selects nothing
              EXPECT_EQ(w.SetCurSel(IDC_DEVICE, 1), 1);
              EXPECT_EQ(w.GetWindowText(IDC_DEVICE), "E:KESTREL");
              EXPECT_EQ(w.AddString(IDC_DEVICE, "A:FIRST"), 0);
              EXPECT_EQ(w.GetCurSel(IDC_DEVICE), 2);  // the selection moves with its entry
              EXPECT_EQ(w.SetCurSel(IDC_DEVICE, 4), CB_ERR);
              EXPECT_EQ(w.GetCurSel(IDC_DEVICE), CB_ERR);  // a missing entry clears it
              EXPECT_EQ(w.GetLBText(IDC_DEVICE, 4), "");
              FillFileList(w);
              EXPECT_EQ(w.SetCurSel(IDC_FILE_LIST, 2), 2);
              EXPECT_EQ(w.GetLBText(IDC_FILE_LIST, 2), "C.OUC");
              w.ResetContent(IDC_FILE_LIST);
              EXPECT_EQ(w.GetCount(IDC_FILE_LIST), 0);
              EXPECT_EQ(w.GetCurSel(IDC_FILE_LIST), LB_ERR);
            })});
  EXPECT_TRUE(recorder.commands.empty()) << "selections made by code notify nobody";
}

TYPED_TEST(ToolkitConformance, ArrowKeysChooseTheEntryTheyLandOn) {
  Recorder recorder;
  recorder.onInit = [](DialogWindow& w) {
    FillFileList(w);
    for (const char* e : {"0:MX-R4410", "1:DISK"}) w.AddString(IDC_DEVICE, e);
    w.SetCurSel(IDC_DEVICE, 0);
  };
  std::vector<int> selections;
  std::vector<size_t> told;  // commands recorded by each look
  auto note = [&](int id) {
    return OperatorStep::Look([&, id](DialogWindow& w) {
      selections.push_back(w.GetCurSel(id));
      told.push_back(recorder.commands.size());
    });
  };
  this->Run(recorder, {OperatorStep::Look([](DialogWindow& w) { w.SetFocus(IDC_FILE_LIST); }),
                       OperatorStep::Press(OperatorKey::Down), note(IDC_FILE_LIST),
                       OperatorStep::Press(OperatorKey::Down), note(IDC_FILE_LIST),
                       OperatorStep::Press(OperatorKey::Up), note(IDC_FILE_LIST),
                       OperatorStep::Press(OperatorKey::Up), note(IDC_FILE_LIST),
                       OperatorStep::Look([](DialogWindow& w) { w.SetFocus(IDC_DEVICE); }),
                       OperatorStep::Press(OperatorKey::Down), note(IDC_DEVICE)});
  EXPECT_EQ(selections, (std::vector<int>{0, 1, 0, 0, 1}));
  // Up on the first entry leaves it chosen. The system's list box (under wine) tells
  // of a selection change even so, as it does for every arrow key, and no dialog
  // minds a notice that changes nothing: that one notice is not counted.
  ASSERT_EQ(told.size(), 5u);
  ASSERT_LE(told[3] - told[2], 1u);
  if (told[3] > told[2]) {
    EXPECT_EQ(recorder.commands[told[2]], (std::pair<int, int>{IDC_FILE_LIST, LBN_SELCHANGE}));
    recorder.commands.erase(recorder.commands.begin() + static_cast<std::ptrdiff_t>(told[2]));
  }
  EXPECT_EQ(recorder.commands, (Commands{{IDC_FILE_LIST, LBN_SELCHANGE},
                                         {IDC_FILE_LIST, LBN_SELCHANGE},
                                         {IDC_FILE_LIST, LBN_SELCHANGE},
                                         {IDC_DEVICE, CBN_SELCHANGE}}));
}

TYPED_TEST(ToolkitConformance, TheDialogManagerHandlesTabEnterAndEscape) {
  Recorder recorder;
  std::vector<int> focus;
  auto note = OperatorStep::Look([&](DialogWindow& w) { focus.push_back(w.GetFocus()); });
  int result = this->Run(recorder, {OperatorStep::Look([](DialogWindow& w) { w.SetFocus(IDC_FILE_LIST); }),
                                    OperatorStep::Press(OperatorKey::Enter),  // the default button
                                    OperatorStep::Press(OperatorKey::Tab), note,
                                    OperatorStep::Look([](DialogWindow& w) { w.SetFocus(IDOK); }),
                                    OperatorStep::Press(OperatorKey::Enter),  // the focused button
                                    OperatorStep::Press(OperatorKey::Escape)});
  EXPECT_EQ(focus, (std::vector<int>{IDC_STATUS}));  // the next tab stop after the file list
  EXPECT_EQ(recorder.commands,
            (Commands{{IDC_UPDATE_START, BN_CLICKED}, {IDOK, BN_CLICKED}, {IDCANCEL, BN_CLICKED}}));
  EXPECT_EQ(result, IDCANCEL);
}

TYPED_TEST(ToolkitConformance, ADisabledControlKeepsTheFocusUntilEnabledAgain) {
  Recorder recorder;
  std::vector<int> focus;
  recorder.onCommand = [&](DialogWindow& w, int id) {
    if (id != IDC_UPDATE_START || recorder.commands.size() > 1) return;
    w.EnableWindow(IDC_UPDATE_START, false);
    w.EnableWindow(IDOK, false);
    focus.push_back(w.GetFocus());
    w.EnableWindow(IDOK, true);
    w.EnableWindow(IDC_UPDATE_START, true);
    focus.push_back(w.GetFocus());
  };
  this->Run(recorder, {OperatorStep::Click(IDC_UPDATE_START), OperatorStep::Press(OperatorKey::Enter)});
  // While disabled, no other control has the focus. The system itself gives it to
  // nobody (0) meanwhile; a toolkit that holds it for the control may say so.
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_TRUE(focus[0] == 0 || focus[0] == IDC_UPDATE_START) << "focus while disabled: " << focus[0];
  EXPECT_EQ(focus[1], IDC_UPDATE_START);
  EXPECT_EQ(recorder.commands, (Commands{{IDC_UPDATE_START, BN_CLICKED}, {IDC_UPDATE_START, BN_CLICKED}}));
}

TYPED_TEST(ToolkitConformance, KeysDuringAWaitReachTheFocusedControlOnly) {
  Recorder recorder;
  recorder.onInit = [](DialogWindow& w) { FillFileList(w); };
  std::vector<int> focus;
  recorder.onCommand = [&](DialogWindow& w, int id) {
    if (id != IDC_UPDATE_START) return;
    w.SetFocus(IDC_FILE_LIST);
    for (OperatorKey key : {OperatorKey::Tab, OperatorKey::Escape, OperatorKey::Enter, OperatorKey::Down}) {
      this->driver.KeyDuringWait(key);
      this->driver.Get().PumpOneMessage();
      focus.push_back(w.GetFocus());
    }
  };
  int result = this->Run(recorder, {OperatorStep::Click(IDC_UPDATE_START),
                                    OperatorStep::Look([](DialogWindow& w) {
                                      EXPECT_EQ(w.GetCurSel(IDC_FILE_LIST), 0);
                                    })});
  EXPECT_EQ(focus, (std::vector<int>(4, IDC_FILE_LIST)));  // Tab moved nothing
  // No Escape, no default button: only the arrow reached the list, which chose.
  EXPECT_EQ(recorder.commands, (Commands{{IDC_UPDATE_START, BN_CLICKED}, {IDC_FILE_LIST, LBN_SELCHANGE}}));
  EXPECT_EQ(result, IDCANCEL);
}

TYPED_TEST(ToolkitConformance, APumpPassNeverWaitsAndLeavesNothingBehind) {
  Recorder recorder;
  recorder.onInit = [](DialogWindow& w) { FillFileList(w); };
  std::vector<int> selections;
  recorder.onCommand = [&](DialogWindow& w, int id) {
    if (id != IDC_UPDATE_START) return;
    this->driver.Get().PumpOneMessage();  // nothing pending: returns at once
    w.SetFocus(IDC_FILE_LIST);
    for (int i = 0; i < 3; ++i) this->driver.KeyDuringWait(OperatorKey::Down);
    for (int i = 0; i < 4; ++i) this->driver.Get().PumpOneMessage();
    selections.push_back(w.GetCurSel(IDC_FILE_LIST));
  };
  this->Run(recorder, {OperatorStep::Click(IDC_UPDATE_START)});
  EXPECT_EQ(selections, (std::vector<int>{2}));
  EXPECT_EQ(recorder.commands.size(), 4u);
}

// A wait that processes no messages (the drive settling after a download) still
// paints what a window going away uncovered, and a key pressed meanwhile waits for
// the dialog's own loop, once the handler has returned.
TYPED_TEST(ToolkitConformance, APaintPassPaintsTheWindowAndLeavesKeysQueued) {
  Recorder recorder;
  recorder.onInit = [](DialogWindow& w) { FillFileList(w); };
  bool repainted = false;
  std::vector<int> selections;
  auto note = [&](DialogWindow& w) { selections.push_back(w.GetCurSel(IDC_FILE_LIST)); };
  recorder.onCommand = [&](DialogWindow& w, int id) {
    if (id != IDC_UPDATE_START) return;
    w.SetFocus(IDC_FILE_LIST);
    this->driver.Uncover();
    this->driver.KeyDuringWait(OperatorKey::Down);
    this->driver.Get().PaintExposed();
    repainted = this->driver.Repainted();
    note(w);
  };
  this->Run(recorder, {OperatorStep::Click(IDC_UPDATE_START), OperatorStep::Look(note)});
  EXPECT_TRUE(repainted);
  EXPECT_EQ(selections, (std::vector<int>{LB_ERR, 0}));
  EXPECT_EQ(recorder.commands, (Commands{{IDC_UPDATE_START, BN_CLICKED}, {IDC_FILE_LIST, LBN_SELCHANGE}}));
}

TYPED_TEST(ToolkitConformance, MessageBoxesOfferTheirButtonsAndShowTheWholeCaption) {
  struct Case {
    unsigned type;
    const char* caption;
    std::vector<KeyStroke> keys;
    std::vector<int> buttons;
    int result;
  } cases[] = {
      {MB_OK | MB_ICONHAND, "HA Set Error", {OperatorKey::Escape}, {IDOK}, IDOK},
      {MB_OK | MB_ICONHAND, "ErrorID", {OperatorKey::Enter}, {IDOK}, IDOK},
      {MB_OK | MB_ICONEXCLAMATION, "Morvantide4", {OperatorKey::Enter}, {IDOK}, IDOK},
      {MB_YESNO | MB_ICONQUESTION, "MorvantideNT", {OperatorKey::Escape, OperatorKey::Enter}, {IDYES, IDNO}, IDYES},
      {MB_OKCANCEL, "Error HA", {OperatorKey::Escape}, {IDOK, IDCANCEL}, IDCANCEL},
      {MB_YESNOCANCEL, "MorvantideNT", {OperatorKey::Escape}, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
      {MB_ABORTRETRYIGNORE, "MorvantideNT", {OperatorKey::Escape, OperatorKey::Enter}, {IDABORT, IDRETRY, IDIGNORE},
       IDABORT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " type " + std::to_string(c.type));
    BoxSeen seen = this->driver.ShowBox("Error!!", c.caption, c.type, c.keys);
    std::vector<int> buttons = c.buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(seen.buttons, buttons);
    EXPECT_EQ(seen.defaultButton, c.buttons.front());
    EXPECT_TRUE(seen.captionWhole);
    EXPECT_EQ(seen.result, c.result);
  }
}

// A flash is confirmed by a deliberate act. The keyboard repeats a key held down past
// its delay (half a second on most desktops): a held Enter must neither answer the
// question that its first press brought up nor, once a fresh press has closed the
// completion box, press Update Start again. Keys that only move repeat as ever.
TYPED_TEST(ToolkitConformance, AHeldKeyAnswersNoBoxAndPressesNoButton) {
  BoxSeen seen = this->driver.ShowBox("Firmware Update Execute ?", "MorvantideNT", MB_YESNO | MB_ICONQUESTION,
                                      {KeyStroke::Held(OperatorKey::Enter), KeyStroke::Held(OperatorKey::Enter),
                                       OperatorKey::Tab, OperatorKey::Enter});
  EXPECT_EQ(seen.result, IDNO) << "only the fresh Enter, on No, answers";

  Recorder recorder;
  recorder.onInit = [](DialogWindow& w) { FillFileList(w); };
  std::vector<int> selections;
  this->Run(recorder, {OperatorStep::Look([](DialogWindow& w) { w.SetFocus(IDC_FILE_LIST); }),
                       OperatorStep::Press(OperatorKey::Enter), OperatorStep::Held(OperatorKey::Enter),
                       OperatorStep::Held(OperatorKey::Enter), OperatorStep::Held(OperatorKey::Down),
                       OperatorStep::Held(OperatorKey::Down),
                       OperatorStep::Look([&](DialogWindow& w) { selections.push_back(w.GetCurSel(IDC_FILE_LIST)); }),
                       OperatorStep::Press(OperatorKey::Enter)});
  EXPECT_EQ(selections, (std::vector<int>{1}));
  EXPECT_EQ(recorder.commands, (Commands{{IDC_UPDATE_START, BN_CLICKED},
                                         {IDC_FILE_LIST, LBN_SELCHANGE},
                                         {IDC_FILE_LIST, LBN_SELCHANGE},
                                         {IDC_UPDATE_START, BN_CLICKED}}));
}

// Keys typed while a handler worked (Enter, Enter, Enter from the file list) are
// thrown away when a box opens: neither the box nor the dialog gets them.
TYPED_TEST(ToolkitConformance, KeysTypedBeforeABoxOpensAnswerNothing) {
  Recorder recorder;
  recorder.onInit = [](DialogWindow& w) { FillFileList(w); };
  BoxSeen seen;
  recorder.onCommand = [&](DialogWindow& w, int id) {
    if (id != IDC_UPDATE_START) return;
    w.SetFocus(IDC_FILE_LIST);
    for (int i = 0; i < 2; ++i) this->driver.KeyDuringWait(OperatorKey::Enter);
    seen = this->driver.ShowBox("Firmware Update Execute ?", "MorvantideNT", MB_YESNO | MB_ICONQUESTION,
                                {OperatorKey::Tab, OperatorKey::Enter});
  };
  this->Run(recorder, {OperatorStep::Click(IDC_UPDATE_START)});
  EXPECT_EQ(seen.result, IDNO);
  EXPECT_EQ(recorder.commands, (Commands{{IDC_UPDATE_START, BN_CLICKED}}));
}

}  // namespace
}  // namespace morv::conformance
