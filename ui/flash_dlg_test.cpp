#include "ui/flash_dlg.h"

#include <gtest/gtest.h>

#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "scsi/testing/fake_transport.h"
#include "ui/testing/recording_selection.h"
#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;

struct Program {
  const char* name;
  const ProgramResources& (*resources)();
  bool hostAdapterVisible;
  const char* aboutItem;
  const char* aboutCaption;
};

const Program kPrograms[] = {
    {"MorvantideNT", &ResourcesNT, false, "&About MorvantideNT...", "Morvantide NT"},
    {"Morvantide4", &Resources4, true, "&About Morvantide4...", "Morvantide 4"},
};

/// One run of the main dialog over the scripted toolkit, in a directory of its own.
struct DialogRun {
  explicit DialogRun(const Program& p) : program(p), resources(p.resources()) {
    selection->devices = {"F: KESTREL MX-R4410", "E: OTHER CD-ROM"};
    selection->firmwareVersion = "1.10";
  }

  /// Runs the dialog with `script`; returns its result. The dialog (and with it the
  /// selection) stays for the test to look at.
  int Run(std::deque<UserAction> script) {
    toolkit.script = std::move(script);
    dialog = std::make_unique<CFlashDlg>(toolkit, feedback, resources, transport, [this](CScsiDrive&, Feedback&) {
      return std::unique_ptr<Selection>(std::move(ownedSelection));
    });
    return dialog->DoModal();
  }

  ScriptedWindow& Main() const { return *toolkit.windows.at(0); }

  const Program& program;
  const ProgramResources& resources;
  TempCurrentDirectory dir;
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback{toolkit, resources, program.name};
  FakeTransport transport;
  std::unique_ptr<RecordingSelection> ownedSelection = std::make_unique<RecordingSelection>();
  RecordingSelection* selection = ownedSelection.get();
  std::unique_ptr<CFlashDlg> dialog;
};

TEST(FlashDlgInit, ControlStateAfterInitialisation) {
  for (const auto& program : kPrograms) {
    SCOPED_TRACE(program.name);
    DialogRun run(program);
    for (const char* name : {"R4410B.OUC", "r4410a.ouc", "README.txt"}) run.dir.Touch(name);
    run.Run({});
    const ScriptedWindow& w = run.Main();

    struct Expect {
      int id;
      bool visible, enabled;
      const char* text;
      std::vector<std::string> entries;
      int curSel;
    } expected[] = {
        {IDC_HOST_ADAPTER, program.hostAdapterVisible, true, "", {}, -1},
        {IDC_DEVICE, true, true, "E: OTHER CD-ROM", {"E: OTHER CD-ROM", "F: KESTREL MX-R4410"}, 0},
        {IDC_LUN, false, true, "", {}, -1},
        {IDC_UPDATE_START, true, true, "Update Start", {}, -1},
        {IDC_FIRMWARE_VERSION, true, true, "1.10", {}, -1},
        {IDC_SELECTED_FILE, true, true, "", {}, -1},
        {IDC_FILE_LIST, true, true, "", {"r4410a.ouc", "R4410B.OUC"}, -1},
        {IDC_STATUS, true, true, "", {}, -1},
        {IDC_ABORT, false, false, "Abort", {}, -1},
        {IDOK, true, true, "Exit", {}, -1},
    };
    for (const auto& e : expected) {
      SCOPED_TRACE(e.id);
      const ScriptedControl& c = w.Control(e.id);
      EXPECT_EQ(c.visible, e.visible);
      EXPECT_EQ(c.enabled, e.enabled);
      EXPECT_EQ(w.GetWindowText(e.id), e.text);
      EXPECT_EQ(c.entries, e.entries);
      EXPECT_EQ(c.curSel, e.curSel);
    }
    EXPECT_TRUE(w.Control(IDC_UPDATE_START).IsDefaultButton());
    EXPECT_EQ(w.focus, IDC_FILE_LIST);
    EXPECT_EQ(w.caption, run.resources.mainDialog.caption);
    EXPECT_EQ(w.systemMenu, (std::vector<SystemMenuItem>{{}, {IDM_ABOUTBOX, program.aboutItem}}));
    EXPECT_EQ(w.bigIcon, IDR_MAINFRAME);
    EXPECT_EQ(w.smallIcon, IDR_MAINFRAME);
    EXPECT_EQ(run.transport.sent.size(), 0u);
    EXPECT_TRUE(run.toolkit.boxes.empty());
    EXPECT_TRUE(run.toolkit.faults.empty()) << run.toolkit.faults.front();
  }
}

TEST(FlashDlgInit, DeviceStepsRunAfterTheWindowStepsAndBeforeTheFileList) {
  for (const auto& program : kPrograms) {
    SCOPED_TRACE(program.name);
    DialogRun run(program);
    run.dir.Touch("A.OUC");
    bool checked = false;
    run.selection->onInitDevices = [&] {
      const ScriptedWindow& w = run.Main();
      EXPECT_EQ(w.systemMenu.size(), 2u);
      EXPECT_EQ(w.smallIcon, IDR_MAINFRAME);
      EXPECT_TRUE(w.Control(IDC_ABORT).enabled);
      EXPECT_EQ(w.GetCount(IDC_FILE_LIST), 0);
      checked = true;
    };
    run.Run({});
    EXPECT_TRUE(checked);
    EXPECT_EQ(run.selection->calls, (std::vector<std::string>{"attach", "init-devices", "destroy"}));
  }
}

TEST(FlashDlgInit, NoAboutItemWithoutSystemMenuOrText) {
  ProgramResources noSystemMenu = ResourcesNT();
  noSystemMenu.mainDialog.style &= ~WS_SYSMENU;
  ProgramResources noText = ResourcesNT();
  noText.strings.erase(IDS_ABOUTBOX);
  for (const ProgramResources* resources : {&noSystemMenu, &noText}) {
    ScriptedToolkit toolkit;
    ToolkitFeedback feedback{toolkit, *resources, "MorvantideNT"};
    FakeTransport transport;
    CFlashDlg dialog(toolkit, feedback, *resources, transport,
                     [](CScsiDrive&, Feedback&) { return std::make_unique<RecordingSelection>(); });
    toolkit.script = {Act::Menu(ID_ABOUT)};  // the menu-bar About still works
    dialog.DoModal();
    EXPECT_TRUE(toolkit.windows[0]->systemMenu.empty());
    EXPECT_EQ(toolkit.windows.size(), 2u);
    EXPECT_TRUE(toolkit.faults.empty());
  }
}

TEST(FlashDlgFileList, SortedNoSelectionAndNeverRefreshed) {
  DialogRun run(kPrograms[0]);
  for (const char* name : {"z.OUC", "B.OUC", "a.ouc", "10.OUC", "9.OUC"}) run.dir.Touch(name);
  std::filesystem::create_directory(run.dir.Path() / "sub.OUC");
  run.Run({
      Act::Inspect([&](ScriptedWindow&) { run.dir.Touch("NEW.OUC"); }),
      Act::Menu(ID_OPTION_RESCAN),
  });
  const ScriptedControl& list = run.Main().Control(IDC_FILE_LIST);
  EXPECT_EQ(list.entries, (std::vector<std::string>{"10.OUC", "9.OUC", "a.ouc", "B.OUC", "z.OUC"}));
  EXPECT_EQ(list.curSel, -1);
  EXPECT_EQ(run.selection->calls.at(2), "rescan");
}

TEST(FlashDlgFileList, NoParameterFileLeavesListAndFieldEmpty) {
  DialogRun run(kPrograms[1]);
  run.Run({Act::Choose(IDC_FILE_LIST, 0)});
  EXPECT_EQ(run.Main().GetCount(IDC_FILE_LIST), 0);
  EXPECT_EQ(run.Main().Control(IDC_SELECTED_FILE).text, "");
}

TEST(FlashDlgFileList, ChoosingAnEntryReplacesTheSelectedFile) {
  DialogRun run(kPrograms[0]);
  for (const char* name : {"FIRST.OUC", "SECOND.OUC", "THIRD.OUC"}) run.dir.Touch(name);
  std::vector<std::string> seen;
  auto look = Act::Inspect([&](ScriptedWindow& w) { seen.push_back(w.Control(IDC_SELECTED_FILE).text); });
  run.Run({Act::Choose(IDC_FILE_LIST, 2), look, Act::Choose(IDC_FILE_LIST, 0), look});
  EXPECT_EQ(seen, (std::vector<std::string>{"THIRD.OUC", "FIRST.OUC"}));
  EXPECT_EQ(run.toolkit.boxes.size(), 0u);
  EXPECT_EQ(run.Main().Control(IDC_STATUS).text, "");
}

TEST(FlashDlgMessageMap, SystemCommands0x10To0x1FOpenTheAboutBox) {
  struct Case {
    unsigned id;
    bool about;
  } cases[] = {{0x0010, true}, {0x0011, true}, {0x001F, true}, {0x000F, false}, {0x0020, false},
               {0x0110, false}, {SC_MOVE, false}, {SC_MINIMIZE, false}, {SC_SIZE, false}};
  for (const auto& c : cases) {
    DialogRun run(kPrograms[1]);
    run.Run({Act::SysCommand(c.id), Act::Click(IDOK)});
    SCOPED_TRACE(c.id);
    bool aboutShown = run.toolkit.windows.size() == 2;
    EXPECT_EQ(aboutShown, c.about);
    if (aboutShown) {
      EXPECT_EQ(run.toolkit.windows[1]->caption, "Morvantide 4");
    }
    EXPECT_EQ(run.toolkit.EventsStartingWith("default-syscommand").size(), c.about ? 0u : 1u);
  }
}

TEST(FlashDlgMessageMap, CloseFromTheSystemMenuEndsWithCancel) {
  DialogRun run(kPrograms[0]);
  EXPECT_EQ(run.Run({Act::SysCommand(SC_CLOSE), Act::Click(IDOK)}), IDCANCEL);
}

TEST(FlashDlgMessageMap, CommandsReachTheirHandlers) {
  struct Case {
    const char* what;
    UserAction action;
    std::vector<std::string> selectionCalls;  // between attach/init and destroy
    int dialogs;                               // dialogs opened, the main one included
    bool ended;
    int result;
  } cases[] = {
      {"rescan", Act::Menu(ID_OPTION_RESCAN), {"rescan"}, 1, false, 0},
      {"device", Act::Choose(IDC_DEVICE, 1), {"selchange-device"}, 1, false, 0},
      {"adapter", Act::Notify(IDC_HOST_ADAPTER, CBN_SELCHANGE), {"selchange-ha"}, 1, false, 0},
      {"lun", Act::Notify(IDC_LUN, CBN_SELCHANGE), {"selchange-lun"}, 1, false, 0},
      {"abort has no handler", Act::Notify(IDC_ABORT, BN_CLICKED), {}, 1, false, 0},
      {"about", Act::Menu(ID_ABOUT), {}, 2, false, 0},
      {"exit", Act::Click(IDOK), {}, 1, true, IDOK},
      {"escape", Act::Escape(), {}, 1, true, IDCANCEL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DialogRun run(kPrograms[1]);
    int result = run.Run({c.action, Act::Inspect([](ScriptedWindow&) {})});
    // A dialog the action ended never reaches the inspection behind it.
    bool endedByAction = run.toolkit.EventsStartingWith("action inspect").empty();
    std::vector<std::string> calls(run.selection->calls.begin() + 2, run.selection->calls.end() - 1);
    EXPECT_EQ(calls, c.selectionCalls);
    EXPECT_EQ(static_cast<int>(run.toolkit.windows.size()), c.dialogs);
    EXPECT_EQ(endedByAction, c.ended);
    if (c.ended) {
      EXPECT_EQ(result, c.result);
    }
    EXPECT_TRUE(run.toolkit.boxes.empty());
    EXPECT_EQ(run.transport.sent.size(), 0u);
  }
}

TEST(FlashDlgAbout, RunsModallyInsideTheMainDialogAndReturnsToIt) {
  DialogRun run(kPrograms[0]);
  run.Run({Act::Menu(ID_ABOUT), Act::Escape(), Act::SysCommand(IDM_ABOUTBOX), Act::Click(IDOK), Act::Click(IDOK)});
  EXPECT_EQ(run.toolkit.EventsStartingWith("dialog "),
            (std::vector<std::string>{"dialog Morvantide NT for KESTREL MX-R4410 ver.1.0.0", "dialog Morvantide NT",
                                      "dialog Morvantide NT"}));
  EXPECT_EQ(run.toolkit.EventsStartingWith("end "),
            (std::vector<std::string>{"end Morvantide NT 2", "end Morvantide NT 1",
                                      "end Morvantide NT for KESTREL MX-R4410 ver.1.0.0 1"}));
  EXPECT_TRUE(run.toolkit.windows[1]->systemMenu.empty());
}

TEST(FlashDlgLifetime, StatusLineAndSelectionFollowTheWindow) {
  DialogRun run(kPrograms[1]);
  run.Run({Act::Inspect([&](ScriptedWindow&) { run.feedback.SetStatusLine("Firmware Update Complete"); })});
  EXPECT_EQ(run.Main().Control(IDC_STATUS).text, "Firmware Update Complete");
  run.feedback.SetStatusLine("after close");  // the window is gone: nowhere to write
  EXPECT_EQ(run.Main().Control(IDC_STATUS).text, "Firmware Update Complete");
  EXPECT_EQ(run.selection->calls.back(), "destroy");
}

}  // namespace
}  // namespace morv
