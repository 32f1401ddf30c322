#include "platform/terminal/terminal_dialog.h"

#include <gtest/gtest.h>

#include "platform/terminal/testing/sample_dialog.h"

namespace morv::terminal {
namespace {

using namespace testing;
using K = KeyEvent;

std::string Command(int id, int code) { return "command " + std::to_string(id) + " " + std::to_string(code); }

class DialogKeys : public ::testing::Test {
 protected:
  DialogKeys() : dialog(resources.mainDialog, resources) {
    handler.OnInitDialog(dialog);
    for (const char* name : {"B.OUC", "A.OUC", "C.OUC"}) dialog.AddString(kFiles, name);
    for (const char* name : {"E: Disk", "D: Drive"}) dialog.AddString(kDevice, name);
    dialog.SetCurSel(kDevice, 0);
    dialog.SetPlacement(2, 12, 24, 80);
  }
  void Press(std::initializer_list<KeyEvent> keys, InputMode mode = InputMode::Dialog) {
    for (const auto& k : keys) dialog.HandleKey(k, mode, handler);
  }

  ProgramResources resources = SampleResources();
  TerminalDialog dialog;
  RecordingHandler handler;
};

TEST_F(DialogKeys, TabVisitsVisibleEnabledTabStopsInTemplateOrder) {
  struct Case {
    const char* what;
    int start;
    std::vector<int> disabled;
    KeyCode key;
    std::vector<int> visits;
  } cases[] = {
      {"forward, wrapping; hidden and no-tab-stop controls skipped", kFiles, {}, KeyCode::Tab,
       {kStatus, kExit, kDevice, kStart, kVersion, kFiles}},
      {"backward", kExit, {}, KeyCode::BackTab, {kStatus, kFiles, kVersion, kStart, kDevice, kExit}},
      {"disabled buttons skipped", kFiles, {kExit, kStart}, KeyCode::Tab, {kStatus, kDevice, kVersion, kFiles}},
  };
  for (const auto& c : cases) {
    for (int id : {kExit, kStart}) dialog.EnableWindow(id, true);
    for (int id : c.disabled) dialog.EnableWindow(id, false);
    dialog.SetFocus(c.start);
    std::vector<int> visits;
    for (size_t i = 0; i < c.visits.size(); ++i) {
      Press({K::Key(c.key)});
      visits.push_back(dialog.GetFocus());
    }
    EXPECT_EQ(visits, c.visits) << c.what;
  }
  EXPECT_TRUE(handler.events.empty());
}

TEST_F(DialogKeys, TabFromNoFocusStartsAtEitherEnd) {
  TerminalDialog fresh(resources.mainDialog, resources);
  fresh.HandleKey(K::Key(KeyCode::Tab), InputMode::Dialog, handler);
  EXPECT_EQ(fresh.GetFocus(), kExit);
  TerminalDialog other(resources.mainDialog, resources);
  other.HandleKey(K::Key(KeyCode::BackTab), InputMode::Dialog, handler);
  EXPECT_EQ(other.GetFocus(), kStatus);
}

TEST_F(DialogKeys, EnterSpaceAndEscape) {
  struct Case {
    const char* what;
    int focus;
    KeyEvent key;
    bool startEnabled;
    InputMode mode;
    std::vector<std::string> events;
  } cases[] = {
      {"Enter in the file list presses the default button", kFiles, K::Key(KeyCode::Enter), true, InputMode::Dialog,
       {Command(kStart, BN_CLICKED)}},
      {"Enter in a selector presses the default button", kDevice, K::Key(KeyCode::Enter), true, InputMode::Dialog,
       {Command(kStart, BN_CLICKED)}},
      {"Enter on another push button presses that one", kExit, K::Key(KeyCode::Enter), true, InputMode::Dialog,
       {Command(kExit, BN_CLICKED)}},
      {"Enter with the default button disabled does nothing", kFiles, K::Key(KeyCode::Enter), false,
       InputMode::Dialog, {}},
      {"Space presses the focused push button", kStart, K::Char(' '), true, InputMode::Dialog,
       {Command(kStart, BN_CLICKED)}},
      {"Space in the list does nothing", kFiles, K::Char(' '), true, InputMode::Dialog, {}},
      {"Escape cancels", kFiles, K::Key(KeyCode::Escape), true, InputMode::Dialog, {Command(IDCANCEL, BN_CLICKED)}},
      {"pumped Enter reaches the list only", kFiles, K::Key(KeyCode::Enter), true, InputMode::Pumped, {}},
      {"pumped Escape does not cancel", kFiles, K::Key(KeyCode::Escape), true, InputMode::Pumped, {}},
      {"pumped Space still presses the focused button", kStart, K::Char(' '), true, InputMode::Pumped,
       {Command(kStart, BN_CLICKED)}},
  };
  for (const auto& c : cases) {
    handler.events.clear();
    dialog.EnableWindow(kStart, c.startEnabled);
    dialog.SetFocus(c.focus);
    Press({c.key}, c.mode);
    EXPECT_EQ(handler.events, c.events) << c.what;
  }
}

TEST_F(DialogKeys, PumpedTabDoesNotMoveTheFocus) {
  dialog.SetFocus(kFiles);
  Press({K::Key(KeyCode::Tab), K::Key(KeyCode::BackTab)}, InputMode::Pumped);
  EXPECT_EQ(dialog.GetFocus(), kFiles);
}

TEST(ListMoves, KeysMoveTheSelectionAsOnTheDesktop) {
  struct Case {
    KeyCode key;
    int current, count, page, expected;
  } cases[] = {
      {KeyCode::Down, -1, 3, 10, 0},   {KeyCode::Down, 0, 3, 10, 1},    {KeyCode::Down, 2, 3, 10, 2},
      {KeyCode::Up, -1, 3, 10, 0},     {KeyCode::Up, 2, 3, 10, 1},      {KeyCode::Up, 0, 3, 10, 0},
      {KeyCode::Home, 2, 3, 10, 0},    {KeyCode::End, -1, 3, 10, 2},    {KeyCode::PageDown, 0, 30, 10, 9},
      {KeyCode::PageDown, 25, 30, 10, 29}, {KeyCode::PageDown, -1, 30, 10, 9}, {KeyCode::PageUp, 20, 30, 10, 11},
      {KeyCode::PageUp, 3, 30, 10, 0}, {KeyCode::PageDown, 0, 5, 1, 1}, {KeyCode::Down, -1, 0, 10, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MovedSelection(c.key, c.current, c.count, c.page), c.expected)
        << static_cast<int>(c.key) << " from " << c.current << " of " << c.count;
}

TEST(ListMoves, TypedLetterFindsTheNextEntryStartingWithIt) {
  std::vector<std::string> items{"a1", "B2", "b3", "c4"};
  struct Case {
    int current;
    char c;
    int expected;
  } cases[] = {{-1, 'b', 1}, {1, 'b', 2}, {2, 'B', 1}, {0, 'z', -1}, {3, 'a', 0}};
  for (const auto& c : cases) EXPECT_EQ(EntryStartingWith(items, c.current, c.c), c.expected) << c.current << c.c;
}

TEST_F(DialogKeys, FileListNotifiesEachChangeOfSelection) {
  dialog.SetFocus(kFiles);
  Press({K::Key(KeyCode::Down), K::Key(KeyCode::Down), K::Key(KeyCode::End), K::Key(KeyCode::Down),
         K::Key(KeyCode::Home), K::Char('c')});
  EXPECT_EQ(handler.events, (std::vector<std::string>(5, Command(kFiles, LBN_SELCHANGE))));  // not for the Down at the end
  EXPECT_EQ(dialog.GetCurSel(kFiles), 2);
  EXPECT_EQ(dialog.GetLBText(kFiles, 2), "C.OUC");
}

TEST_F(DialogKeys, FileListKeysStillWorkInAPumpedWait) {
  dialog.SetFocus(kFiles);
  Press({K::Key(KeyCode::Down)}, InputMode::Pumped);
  EXPECT_EQ(handler.events, std::vector<std::string>{Command(kFiles, LBN_SELCHANGE)});
}

TEST_F(DialogKeys, DropDownList) {
  struct Case {
    const char* what;
    std::vector<KeyEvent> keys;
    int selection;  // device selector afterwards
    int notifications;
    bool open;
  } cases[] = {
      {"Down changes and notifies", {K::Key(KeyCode::Down)}, 1, 1, false},
      {"Up at the top changes nothing", {K::Key(KeyCode::Up)}, 0, 0, false},
      {"F4 opens; moves only highlight; Enter picks", {K::Key(KeyCode::F4), K::Key(KeyCode::Down)}, 0, 0, true},
      {"Enter picks the highlighted entry",
       {K::Key(KeyCode::F4), K::Key(KeyCode::Down), K::Key(KeyCode::Enter)}, 1, 1, false},
      {"Alt-Down opens, Escape closes without a change",
       {K::AltKey(KeyCode::Down), K::Key(KeyCode::Down), K::Key(KeyCode::Escape)}, 0, 0, false},
      {"Space opens, Alt-Up picks", {K::Char(' '), K::Key(KeyCode::End), K::AltKey(KeyCode::Up)}, 1, 1, false},
      {"picking the selected entry again notifies nothing",
       {K::Key(KeyCode::F4), K::Key(KeyCode::Enter)}, 0, 0, false},
      {"a typed letter jumps", {K::Char('e')}, 1, 1, false},
  };
  for (const auto& c : cases) {
    dialog.SetCurSel(kDevice, 0);
    dialog.SetFocus(kDevice);
    handler.events.clear();
    for (const auto& k : c.keys) dialog.HandleKey(k, InputMode::Dialog, handler);
    EXPECT_EQ(dialog.GetCurSel(kDevice), c.selection) << c.what;
    EXPECT_EQ(handler.events, std::vector<std::string>(static_cast<size_t>(c.notifications),
                                                       Command(kDevice, CBN_SELCHANGE)))
        << c.what;
    EXPECT_EQ(dialog.DroppedIndex() >= 0, c.open) << c.what;
    if (dialog.DroppedIndex() >= 0) dialog.HandleKey(K::Key(KeyCode::Escape), InputMode::Dialog, handler);
  }
}

TEST_F(DialogKeys, EscapeWithAnOpenListClosesTheListOnly) {
  dialog.SetFocus(kDevice);
  Press({K::Key(KeyCode::F4), K::Key(KeyCode::Escape)});
  EXPECT_EQ(dialog.DroppedIndex(), -1);
  EXPECT_TRUE(handler.events.empty());
  Press({K::Key(KeyCode::Escape)});
  EXPECT_EQ(handler.events, std::vector<std::string>{Command(IDCANCEL, BN_CLICKED)});
}

TEST_F(DialogKeys, EnterWithAnOpenListPicksInsteadOfPressingTheDefaultButton) {
  dialog.SetFocus(kDevice);
  Press({K::Key(KeyCode::F4), K::Key(KeyCode::Down), K::Key(KeyCode::Enter)});
  EXPECT_EQ(handler.events, std::vector<std::string>{Command(kDevice, CBN_SELCHANGE)});
}

TEST_F(DialogKeys, MenuKeys) {
  struct Case {
    const char* what;
    std::vector<KeyEvent> keys;
    std::vector<std::string> events;
  } cases[] = {
      {"F10 opens Option on Rescan", {K::Key(KeyCode::F10), K::Key(KeyCode::Enter)}, {Command(kRescan, 0)}},
      {"Alt-O then the item's letter", {K::Alt('o'), K::Char('r')}, {Command(kRescan, 0)}},
      {"Alt-A runs About at once", {K::Alt('a')}, {Command(kAbout, 0)}},
      {"Right moves to About, Enter runs it", {K::Key(KeyCode::F10), K::Key(KeyCode::Right), K::Key(KeyCode::Enter)},
       {Command(kAbout, 0)}},
      {"Left wraps round to About", {K::Alt('o'), K::Key(KeyCode::Left), K::Key(KeyCode::Enter)},
       {Command(kAbout, 0)}},
      {"Escape leaves the menu and cancels nothing", {K::Key(KeyCode::F10), K::Key(KeyCode::Escape)}, {}},
      {"Tab inside a menu does nothing", {K::Alt('o'), K::Key(KeyCode::Tab), K::Key(KeyCode::Escape)}, {}},
      {"F10 again closes it", {K::Key(KeyCode::F10), K::Key(KeyCode::F10), K::Key(KeyCode::Enter)},
       {Command(kStart, BN_CLICKED)}},
  };
  for (const auto& c : cases) {
    dialog.SetFocus(kFiles);
    handler.events.clear();
    for (const auto& k : c.keys) dialog.HandleKey(k, InputMode::Dialog, handler);
    EXPECT_EQ(handler.events, c.events) << c.what;
    EXPECT_FALSE(dialog.Tracker().Active()) << c.what;
    EXPECT_EQ(dialog.GetFocus(), kFiles) << c.what;
  }
}

TEST_F(DialogKeys, MenusWorkDuringAPumpedWait) {
  Press({K::Alt('o'), K::Key(KeyCode::Enter)}, InputMode::Pumped);
  EXPECT_EQ(handler.events, std::vector<std::string>{Command(kRescan, 0)});
}

TEST_F(DialogKeys, SystemMenu) {
  dialog.AppendSystemMenuSeparator();
  dialog.AppendSystemMenuItem(kSysAbout, "&About Sample...");
  struct Case {
    const char* what;
    std::vector<KeyEvent> keys;
    std::vector<std::string> events;
  } cases[] = {
      {"appended item, reached past the separator",
       {K::Alt(' '), K::Key(KeyCode::Down), K::Key(KeyCode::Enter)}, {"syscommand 16"}},
      {"by its letter", {K::Alt(' '), K::Char('a')}, {"syscommand 16"}},
      {"Close gets the default processing: cancel", {K::Alt(' '), K::Key(KeyCode::Enter)},
       {"syscommand " + std::to_string(SC_CLOSE), Command(IDCANCEL, BN_CLICKED)}},
      {"Up wraps to the last item", {K::Alt(' '), K::Key(KeyCode::Up), K::Key(KeyCode::Enter)}, {"syscommand 16"}},
  };
  for (const auto& c : cases) {
    handler.events.clear();
    for (const auto& k : c.keys) dialog.HandleKey(k, InputMode::Dialog, handler);
    EXPECT_EQ(handler.events, c.events) << c.what;
  }
}

TEST_F(DialogKeys, MouseClicks) {
  // Screen cells: the dialog's frame starts at (2, 12), the client area at (4, 13).
  struct Case {
    const char* what;
    int row, col;
    std::vector<std::string> events;
    int focus;
  } cases[] = {
      {"Update Start", 4 + 12, 13 + 30, {Command(kStart, BN_CLICKED)}, kStart},
      {"second file in the list", 4 + 4 + 2, 13 + 3, {Command(kFiles, LBN_SELCHANGE)}, kFiles},
      {"a label does nothing", 4 + 3, 13 + 30, {}, kVersion},
      {"the menu bar's About", 3, 13 + 50, {Command(kAbout, 0)}, kVersion},
      {"the close box", 2, 12 + 53, {"syscommand " + std::to_string(SC_CLOSE), Command(IDCANCEL, BN_CLICKED)},
       kVersion},
  };
  for (const auto& c : cases) {
    dialog.SetFocus(kVersion);
    handler.events.clear();
    dialog.HandleKey(K::Click(c.row, c.col), InputMode::Dialog, handler);
    EXPECT_EQ(handler.events, c.events) << c.what;
    EXPECT_EQ(dialog.GetFocus(), c.focus) << c.what;
  }
  EXPECT_EQ(dialog.GetCurSel(kFiles), 1);
}

TEST_F(DialogKeys, MouseOpensTheMenuAndPicksFromTheDropDown) {
  dialog.HandleKey(K::Click(3, 14), InputMode::Dialog, handler);  // "Option"
  ASSERT_TRUE(dialog.Tracker().PopupOpen());
  CellRect box = dialog.PopupBox();
  dialog.HandleKey(K::Click(box.row + 1, box.col + 2), InputMode::Dialog, handler);
  dialog.HandleKey(K::Click(4, 13 + 20), InputMode::Dialog, handler);  // device selector
  ASSERT_GE(dialog.DroppedIndex(), 0);
  CellRect list = dialog.DropDownRect();
  dialog.HandleKey(K::Click(list.row + 2, list.col + 3), InputMode::Dialog, handler);
  EXPECT_EQ(handler.events, (std::vector<std::string>{Command(kRescan, 0), Command(kDevice, CBN_SELCHANGE)}));
  EXPECT_EQ(dialog.GetWindowText(kDevice), "E: Disk");
}

TEST_F(DialogKeys, DisabledControlsIgnoreKeysAndClicks) {
  dialog.EnableWindow(kFiles, false);
  dialog.SetFocus(kFiles);
  Press({K::Key(KeyCode::Down), K::Click(4 + 5, 13 + 3)});
  EXPECT_TRUE(handler.events.empty());
  EXPECT_EQ(dialog.GetCurSel(kFiles), -1);
}

TEST_F(DialogKeys, ListAndComboOperationsBehaveAsOnTheDesktop) {
  // Sorted insertion, and the selected entry stays selected when one is put before it.
  dialog.SetCurSel(kFiles, 1);
  EXPECT_EQ(dialog.AddString(kFiles, "0.OUC"), 0);
  EXPECT_EQ(dialog.GetCurSel(kFiles), 2);
  EXPECT_EQ(dialog.GetLBText(kFiles, 2), "B.OUC");
  // A missing entry: failure and no selection.
  EXPECT_EQ(dialog.SetCurSel(kDevice, 5), CB_ERR);
  EXPECT_EQ(dialog.GetCurSel(kDevice), CB_ERR);
  EXPECT_EQ(dialog.GetWindowText(kDevice), "");
  EXPECT_EQ(dialog.SetCurSel(kDevice, 1), 1);
  EXPECT_EQ(dialog.GetWindowText(kDevice), "E: Disk");
  EXPECT_EQ(dialog.GetLBText(kDevice, 7), "");
  dialog.ResetContent(kDevice);
  EXPECT_EQ(dialog.GetCount(kDevice), 0);
  EXPECT_EQ(dialog.GetCurSel(kDevice), CB_ERR);
  // Selections made by code never notify.
  EXPECT_TRUE(handler.events.empty());
  // Visibility and enabling as the template says.
  EXPECT_FALSE(dialog.IsWindowVisible(kAbort));
  EXPECT_TRUE(dialog.IsWindowVisible(kStart));
  EXPECT_TRUE(dialog.HasSystemMenu());
}

}  // namespace
}  // namespace morv::terminal
