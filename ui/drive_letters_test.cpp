// MorvantideNT's selection half end to end: the main dialog on the scripted toolkit,
// the pass-through transport, and emulated devices behind the drive letters.
#include "ui/drive_letters.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

#include "sim/sim_pass_through_system.h"
#include "transport/testing/inquiry_device.h"
#include "ui/flash_dlg.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;
using testing::InquiryDevice;

const std::string kKestrel = "KESTREL MX-R4410        ";  // vendor 8, product 16

/// The main dialog of MorvantideNT over devices the test puts behind drive letters.
struct LetterRun {
  /// Puts a device of `type` behind `letter`, identified as `identification`.
  InquiryDevice& Put(char letter, uint8_t type, const std::string& identification = kKestrel,
                     const std::string& version = "1.00") {
    auto device = std::make_shared<InquiryDevice>(type, identification, version);
    devices[letter] = device;
    system.Attach(letter, device);
    return *device;
  }

  void Run(std::deque<UserAction> script = {}) {
    toolkit.script = std::move(script);
    dialog = std::make_unique<CFlashDlg>(toolkit, feedback, ResourcesNT(), transport,
                                         [this](CScsiDrive& drive, Feedback& f) {
                                           auto owned = std::make_unique<DriveLetterSelection>(drive, f, transport, errors);
                                           selection = owned.get();
                                           return owned;
                                         });
    dialog->DoModal();
  }

  const ScriptedControl& Control(int id) const { return toolkit.windows.at(0)->Control(id); }
  size_t Commands(char letter) const { return devices.at(letter)->Record().size(); }

  sim::SimPassThroughSystem system;
  PassThroughTransport transport{system};
  std::map<char, std::shared_ptr<InquiryDevice>> devices;
  std::ostringstream errors;
  TempCurrentDirectory dir;
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback{toolkit, ResourcesNT(), "MorvantideNT"};
  std::unique_ptr<CFlashDlg> dialog;
  DriveLetterSelection* selection = nullptr;
};

TEST(DriveLetterScan, KeepsWriteOnceCdDvdAndOpticalDrivesInLetterOrder) {
  struct Case {
    const char* name;
    std::vector<std::pair<char, uint8_t>> letters;  // letter, device type
    std::vector<std::string> entries;
    char letter;  // addressed after the selection handler
  } cases[] = {
      {"disk on C:, DVD on E:", {{'C', 0x00}, {'E', 0x05}}, {"E:" + kKestrel}, 'E'},
      {"write-once, optical and CD/DVD, first and last letters",
       {{'Z', 0x05}, {'A', 0x04}, {'M', 0x07}},
       {"A:" + kKestrel, "M:" + kKestrel, "Z:" + kKestrel},
       'A'},
      {"no drive of a kept type", {{'D', 0x01}, {'F', 0x08}, {'G', 0x1F}}, {}, 'Z'},  // the last letter probed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LetterRun run;
    for (auto [letter, type] : c.letters) run.Put(letter, type);
    run.Run();

    EXPECT_EQ(run.Control(IDC_DEVICE).entries, c.entries);
    EXPECT_EQ(run.Control(IDC_DEVICE).curSel, c.entries.empty() ? -1 : 0);
    EXPECT_EQ(run.dialog->m_drive.Address(), DriveAddress::Letter(c.letter));
    EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, c.entries.empty() ? "" : "1.00");
    for (size_t i = 0; i < c.entries.size(); ++i)
      EXPECT_EQ(run.transport.MaxTransfer(c.entries[i][0]), sim::SimPassThroughSystem::kDefaultMaxTransfer);
    // Every letter with a device got exactly one INQUIRY; the first listed drive one more.
    for (auto [letter, type] : c.letters)
      EXPECT_EQ(run.Commands(letter), c.entries.size() && letter == c.entries[0][0] ? 2u : 1u) << letter;
  }
}

TEST(DriveLetterScan, WithoutADriveTheStatusLineAndStandardErrorSayWhyOnce) {
  struct Case {
    const char* name;
    std::vector<std::pair<char, uint8_t>> letters;  // letter, device type
    std::vector<char> denied;                       // nodes this user may not open
    std::string said;                               // on the status line and standard error
  } cases[] = {
      {"nothing answers", {}, {}, NoDriveText(NoDriveReason::NoDevice)},
      {"the drive's node may not be opened", {{'E', 0x05}}, {'E'}, NoDriveText(NoDriveReason::AccessDenied)},
      {"a disk opens, the drive's node does not", {{'C', 0x00}, {'E', 0x05}}, {'E'},
       NoDriveText(NoDriveReason::AccessDenied)},
      {"a drive is listed beside a node that may not be opened", {{'E', 0x05}}, {'G'}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LetterRun run;
    for (auto [letter, type] : c.letters) run.Put(letter, type);
    for (char letter : c.denied) run.system.DenyAccess(letter);
    run.Run({Act::Menu(ID_OPTION_RESCAN)});  // the same finding again is not repeated
    EXPECT_EQ(run.Control(IDC_STATUS).text, c.said);
    EXPECT_EQ(run.errors.str(), c.said.empty() ? "" : "MorvantideNT: " + c.said + "\n");
  }
}

TEST(DriveLetterScan, EntryIsTheLetterAndTheVendorAndProductFieldsReadAsTheKernelReadsThem) {
  struct Case {
    std::string identification;  // INQUIRY bytes from 8
    std::string entry;
  } cases[] = {
      {kKestrel, "E:" + kKestrel},                                    // exactly 2 + 24
      {"", "E:" + std::string(24, ' ')},                              // byte 8 zero
      {kKestrel + "1.00", "E:" + kKestrel},                           // never past byte 31
      // A zero ends a field's text, the field reads on as spaces, and the next field
      // is read on its own.
      {std::string("KESTREL\0MX-R4410", 16), "E:" + kKestrel},
      {std::string("VEND\0XYZPRODUCT\0abc", 20), "E:VEND    PRODUCT         "},
      {"SHORT", "E:SHORT" + std::string(19, ' ')},
      {"KES\tTREL\x01X-R4410", "E:KES TREL X-R4410        "},      // unprintable bytes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    LetterRun run;
    run.Put('E', 0x05, c.identification);
    run.Run();
    EXPECT_EQ(run.Control(IDC_DEVICE).entries, std::vector<std::string>{c.entry});
  }
}

TEST(DriveLetterRescan, SelectsThePreviousPositionAgain) {
  struct Case {
    const char* name;
    std::vector<char> before;  // letters with a drive at start-up
    int choose;                // position chosen before the rescan, -1 none
    std::vector<char> after;   // letters with a drive at the rescan
    int selected;              // position after the rescan
    const char* version;
  } cases[] = {
      {"same drives", {'D', 'E', 'F'}, 2, {'D', 'E', 'F'}, 2, "F"},
      {"position beyond the new list", {'D', 'E', 'F'}, 2, {'D', 'E'}, -1, "F"},
      {"nothing selected before", {}, -1, {'E'}, 0, "E"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LetterRun run;
    for (char letter : {'D', 'E', 'F'}) run.Put(letter, 0x05, kKestrel, std::string(1, letter)).present = false;
    for (char letter : c.before) run.devices[letter]->present = true;
    std::deque<UserAction> script;
    if (c.choose >= 0) script.push_back(Act::Choose(IDC_DEVICE, c.choose));
    script.push_back(Act::Inspect([&](ScriptedWindow&) {
      for (char letter : {'D', 'E', 'F'}) run.devices[letter]->present = false;
      for (char letter : c.after) run.devices[letter]->present = true;
    }));
    script.push_back(Act::Menu(ID_OPTION_RESCAN));
    script.push_back(Act::Inspect([&](ScriptedWindow&) {
      EXPECT_EQ(run.selection->DriveDescription().has_value(), c.selected >= 0);
    }));
    run.Run(std::move(script));

    EXPECT_EQ(run.Control(IDC_DEVICE).entries.size(), c.after.size());
    EXPECT_EQ(run.Control(IDC_DEVICE).curSel, c.selected);
    EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, c.version);
    EXPECT_EQ(run.toolkit.cursorChanges.back(), CursorShape::Arrow);
  }
}

TEST(DriveLetterFirmwareVersion, AFailedInquiryOnlyBeeps) {
  LetterRun run;
  run.Put('E', 0x05, kKestrel, "1.00");
  run.Put('F', 0x05, kKestrel, "2.00").refuseCommand = 2;  // the scan's INQUIRY passes
  run.Run({Act::Choose(IDC_DEVICE, 1)});

  EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, "1.00");  // kept from E:
  EXPECT_EQ(run.toolkit.EventsStartingWith("beep"), std::vector<std::string>{"beep FFFFFFFF"});
  EXPECT_TRUE(run.toolkit.boxes.empty());
  EXPECT_EQ(run.dialog->m_drive.Address().letter, 'F');  // selected all the same
}

TEST(DriveLetterUpdate, DescribesAndAddressesTheChosenDrive) {
  LetterRun run;
  run.Put('E', 0x05, "KESTREL MX-R4410");
  run.Put('G', 0x05, "OTHERCO CD-ROM X1");
  std::optional<std::string> description;
  run.Run({Act::Choose(IDC_DEVICE, 1), Act::Inspect([&](ScriptedWindow&) {
             description = run.selection->DriveDescription();
             run.dialog->m_drive.SetAddress({'Z', 0, 0, 3});
             run.selection->AddressDriveForUpdate();
           })});

  EXPECT_EQ(description, "G:OTHERCO CD-ROM X1       ");  // the zero-padded product reads on as spaces
  EXPECT_EQ(run.dialog->m_drive.Address(), DriveAddress::Letter('G'));
}

TEST(DriveLetterUpdate, WhileAnUpdateRunsSelectionChangesAndRescansAreRefused) {
  LetterRun run;
  run.Put('E', 0x05);
  run.Put('G', 0x05);
  size_t sentToG = 0;
  run.Run({Act::Inspect([&](ScriptedWindow&) {
             run.selection->SetUpdateRunning(true);
             sentToG = run.Commands('G');
           }),
           Act::Choose(IDC_DEVICE, 1), Act::Menu(ID_OPTION_RESCAN),
           Act::Inspect([&](ScriptedWindow& w) {
             EXPECT_EQ(w.Control(IDC_DEVICE).curSel, 0);
             EXPECT_EQ(run.dialog->m_drive.Address().letter, 'E');
             EXPECT_EQ(run.selection->DriveDescription().value_or("").substr(0, 2), "E:");
             EXPECT_EQ(run.Commands('G'), sentToG);
             EXPECT_EQ(run.Commands('E'), 2u);
             run.selection->SetUpdateRunning(false);
           }),
           Act::Choose(IDC_DEVICE, 1)});

  EXPECT_EQ(run.toolkit.EventsStartingWith("beep"), (std::vector<std::string>{"beep FFFFFFFF", "beep FFFFFFFF"}));
  EXPECT_EQ(run.dialog->m_drive.Address().letter, 'G');  // accepted again once the update ended
}

}  // namespace
}  // namespace morv
