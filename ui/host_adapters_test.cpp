// Morvantide4's selection half end to end: the main dialog on the scripted toolkit,
// the ASPI transport, and a bus of emulated devices; the profile in a fresh folder.
#include "ui/host_adapters.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sim/sim_aspi_manager.h"
#include "ui/resource_ids.h"
#include "ui/testing/adapter_run.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;
using Strings = std::vector<std::string>;
using testing::AdapterRun;
using testing::FailingTables;
using testing::InquiryDevice;
using testing::Product;
using testing::PutDrive;
using testing::TestBus;
using testing::TwoAdapters;

TEST(HostAdapterDiscovery, TheEmulatedBusListsItsDevicesAndTheAdapterWithoutAskingIt) {
  sim::StandardDevices devices;
  sim::SimAspiManager bus(devices);
  auto atOwnId = std::make_shared<InquiryDevice>(0x05, "SHOULD  NOT BE ASKED");
  bus.Attach(7, 0, atOwnId);
  AdapterRun run(bus);
  run.Run({Act::Choose(IDC_DEVICE, 1)});

  EXPECT_EQ(run.Control(IDC_HOST_ADAPTER).entries, Strings{"0:SIMUL SCSI HOST"});
  EXPECT_EQ(run.Control(IDC_DEVICE).entries,
            (Strings{"0:VIRTUAL DISK    ", "2:MX-R4410        ", "5:CD-ROM X1       ", "7:SIMUL SCSI HOST"}));
  EXPECT_EQ(run.Control(IDC_LUN).entries, (Strings{"0", "1", "2", "3", "4", "5", "6", "7"}));
  EXPECT_TRUE(atOwnId->Record().empty());
  EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, "1.00");
  const CScsiDrive& drive = run.dialog->m_drive;
  EXPECT_EQ(drive.Address(), DriveAddress::Target(0, 2, 0));
  EXPECT_TRUE(run.Boxes().empty());
}

TEST(HostAdapterDiscovery, AdaptersAsTheManagerReportsThem) {
  struct Case {
    const char* name;
    std::vector<TestBus::Adapter> adapters;
    uint8_t supportStatus;
    std::vector<int> inquired;
    Strings hostAdapters, devices, boxes;
  } cases[] = {
      {"no adapter", {}, SS_COMP, {}, {}, {}, {"Error HA: Error!!", "HA Set Error: Error!!"}},
      {"manager failed", {{"A"}}, SS_FAILED_INIT, {}, {}, {},
       {"Morvantide4: Aspi Error : Faild Initailize.", "Error HA: Error!!", "HA Set Error: Error!!"}},
      {"unnamed adapter 0", {{""}, {"NAMED", 6}}, SS_COMP, {0, 1}, {"1:NAMED"}, {"0:" + Product(1, 0), "6:NAMED"}, {}},
      {"adapter 1 does not answer", {{"A"}, {"B", 7, SS_INVALID_HA}, {"C"}}, SS_COMP, {0, 1}, {"0:A"},
       {"0:" + Product(0, 0), "7:A"}, {"Morvantide4: Aspi Error : Invalid HA."}},
      {"more than eight", std::vector<TestBus::Adapter>(10, {"H"}), SS_COMP, {0, 1, 2, 3, 4, 5, 6, 7},
       {"0:H", "1:H", "2:H", "3:H", "4:H", "5:H", "6:H", "7:H"}, {"0:" + Product(0, 0), "7:H"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestBus bus;
    bus.adapters = c.adapters;
    bus.supportStatus = c.supportStatus;
    for (int ha = 0; ha < 10; ++ha) PutDrive(bus, ha, 0);
    AdapterRun run(bus);
    run.Run();
    EXPECT_EQ(bus.inquired, c.inquired);
    EXPECT_EQ(run.Control(IDC_HOST_ADAPTER).entries, c.hostAdapters);
    EXPECT_EQ(run.Control(IDC_DEVICE).entries, c.devices);
    EXPECT_EQ(run.Boxes(), c.boxes);
  }
}

TEST(HostAdapterDiscovery, WithoutADeviceTheStatusLineAndStandardErrorSayWhyOnce) {
  struct Case {
    const char* name;
    std::vector<TestBus::Adapter> adapters;
    bool drive, accessDenied;
    std::string said;  // on the status line and standard error
  } cases[] = {
      {"no adapter", {}, false, false, NoDriveText(NoDriveReason::NoDevice)},
      {"no target answers", {{"A"}}, false, false, NoDriveText(NoDriveReason::NoDevice)},
      {"the nodes may not be opened", {{"A"}}, false, true, NoDriveText(NoDriveReason::AccessDenied)},
      {"a drive answers", {{"A"}}, true, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestBus bus;
    bus.adapters = c.adapters;
    bus.accessDenied = c.accessDenied;
    if (c.drive) PutDrive(bus, 0, 2);
    AdapterRun run(bus);
    run.Run({Act::Menu(ID_OPTION_RESCAN)});  // the same finding again is not repeated
    EXPECT_EQ(run.Control(IDC_STATUS).text, c.said);
    EXPECT_EQ(run.errors.str(), c.said.empty() ? "" : "Morvantide4: " + c.said + "\n");
  }
}

TEST(HostAdapterDiscovery, ANameThatFindsNoMemoryEndsTheScanWithTheMemoryBox) {
  struct Case {
    int failAt;  // stores: adapter name, then one per answering target
    Strings hostAdapters, devices;
  } cases[] = {{1, {}, {}}, {3, {"0:FIRST HOST"}, {"1:" + Product(0, 1)}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failAt);
    TestBus bus = TwoAdapters();
    AdapterRun run(bus);
    run.tables.failAt = c.failAt;
    run.Run();
    EXPECT_EQ(run.Control(IDC_HOST_ADAPTER).entries, c.hostAdapters);
    EXPECT_EQ(run.Control(IDC_DEVICE).entries, c.devices);
    // The memory box alone: no manager error follows it.
    EXPECT_EQ(run.Boxes().at(0), "Morvantide4: Insufficient memory to perform operation.");
    EXPECT_EQ(run.toolkit->boxes[0].type, MB_ICONHAND);
    EXPECT_EQ(run.toolkit->beeps.at(0), MB_ICONHAND);
    EXPECT_EQ(run.toolkit->EventsStartingWith("box").size(), c.hostAdapters.empty() ? 3u : 1u);
    EXPECT_EQ(bus.inquired, std::vector<int>{0});  // adapter 1 never asked
  }
}

TEST(HostAdapterProfile, TheSelectionIsSavedOnCloseAndSelectedAgainNextTime) {
  TestBus bus = TwoAdapters();
  AdapterRun run(bus);
  run.Run({Act::Choose(IDC_HOST_ADAPTER, 1), Act::Choose(IDC_DEVICE, 1), Act::Notify(IDC_LUN, CBN_SELCHANGE)});

  // All 73 values: the adapter, each adapter's device, each device's LUN (the file's
  // bytes are the profile backend's; host_adapters_linux_test.cpp checks them there).
  EXPECT_EQ(run.profile.GetInt("HostAdaptor", "ID", -1), 1);
  for (int ha = 0; ha < 8; ++ha) {
    const std::string adapter = "HA" + std::to_string(ha);
    EXPECT_EQ(run.profile.GetInt("TargetID", adapter + " ", -1), ha == 1 ? 1 : 0) << adapter;
    for (int target = 0; target < 8; ++target)
      EXPECT_EQ(run.profile.GetInt("TargetLUN", adapter + "_ID" + std::to_string(target), -1), 0) << adapter << target;
  }

  // The next run starts on adapter position 0, then selects what was remembered.
  run.WriteProfile("[HostAdaptor]\r\nID=1\r\n[TargetID]\r\nHA1 =1\r\n[TargetLUN]\r\nHA1_ID1=0\r\n");
  run.Run();
  EXPECT_EQ(run.Control(IDC_HOST_ADAPTER).curSel, 1);
  EXPECT_EQ(run.Control(IDC_DEVICE).entries, (Strings{"1:" + Product(1, 1), "3:" + Product(1, 3), "7:SECOND HOST"}));
  EXPECT_EQ(run.Control(IDC_DEVICE).curSel, 1);
  EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, "1.3");
  EXPECT_EQ(run.selection->DriveDescription(), std::nullopt);  // the dialog has closed
  const CScsiDrive& drive = run.dialog->m_drive;
  EXPECT_EQ(drive.Address(), DriveAddress::Target(1, 3, 0));
  EXPECT_TRUE(run.Boxes().empty());
  EXPECT_TRUE(run.errors.str().empty());
}

TEST(HostAdapterProfile, RememberedPositionsTheSelectorsDoNotHave) {
  struct Case {
    const char* name;
    std::string profile;
    Strings boxes;
    size_t simpleBeeps;
    int haSelected, deviceSelected;
    std::string version;  // after choosing device position 1
  } cases[] = {
      {"garbage reads as zeros", "\x01\x02 not a profile\n[TargetID\nHA0 =x\n", {}, 0, 0, 0, "0.3"},
      {"a missing section reads as zeros", "[Other]\nID=1\n", {}, 0, 0, 0, "0.3"},
      {"adapter position 3 of 2", "[HostAdaptor]\nID=3\n", {"HA Set Error: Error!!"}, 2, -1, 0, ""},
      // No LUN is remembered for a position outside the tables.
      {"adapter position 99", "[HostAdaptor]\nID=99\n", {"HA Set Error: Error!!", "ErrorID: Error!!"}, 2, -1, 0, ""},
      {"device position -3", "[TargetID]\nHA0 =-3\n", {}, 1, 0, -1, "0.3"},
      // The remembered LUN still addresses the drive, which does not answer there.
      {"LUN position 9", "[TargetLUN]\nHA0_ID0=9\n", {"ErrorID: Error!!", "Morvantide4:  Status:Selection timeout."}, 1,
       0, 0, "0.3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestBus bus = TwoAdapters();
    AdapterRun run(bus);
    run.WriteProfile(c.profile);
    int haSelected = -2, deviceSelected = -2;
    std::string version;
    run.Run({Act::Inspect([&](ScriptedWindow& w) {
               haSelected = w.Control(IDC_HOST_ADAPTER).curSel;
               deviceSelected = w.Control(IDC_DEVICE).curSel;
               version = w.Control(IDC_FIRMWARE_VERSION).text;
             }),
             Act::Choose(IDC_DEVICE, 1)});
    EXPECT_EQ(haSelected, c.haSelected);
    EXPECT_EQ(deviceSelected, c.deviceSelected);
    // Start-up showed adapter position 0, device position 0 before the profile was read.
    EXPECT_EQ(version, "0.1");
    EXPECT_EQ(run.Control(IDC_DEVICE).entries, (Strings{"1:" + Product(0, 1), "3:" + Product(0, 3), "7:FIRST HOST"}));
    Strings boxes = run.Boxes();
    if (c.haSelected < 0) {
      // No adapter selected: the chosen device has no address, and nothing is sent to it.
      ASSERT_FALSE(boxes.empty());
      EXPECT_EQ(boxes.back(), "Morvantide4:  Status : Invalid Ha.");
      boxes.pop_back();
      EXPECT_EQ(run.selection->SelectedHostAdapter(), kNoSelection);
    }
    EXPECT_EQ(boxes, c.boxes);
    EXPECT_EQ(run.toolkit->EventsStartingWith("beep FFFFFFFF").size(), c.simpleBeeps);
    EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, c.version.empty() ? "0.1" : c.version);
    EXPECT_TRUE(run.errors.str().empty());
  }
}

TEST(HostAdapterProfile, AProfileThatCannotBeWrittenIsReportedOnceOffScreen) {
  TestBus bus = TwoAdapters();
  AdapterRun run(bus);
  run.profile = PrivateProfile("/dev/null/Morvantide4.INI");
  run.Run({Act::Click(IDOK)});
  EXPECT_TRUE(run.Boxes().empty());
  const std::string errors = run.errors.str();
  EXPECT_EQ(errors.rfind("Morvantide4: the device selection was not saved: ", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1);
}

TEST(HostAdapterFirmwareVersion, AFailedInquiryBeepsAndShowsTheErrorText) {
  TestBus bus = TwoAdapters();
  std::static_pointer_cast<InquiryDevice>(bus.devices[{0, 3}])->refuseCommand = 2;  // after the scan's
  AdapterRun run(bus);
  run.Run({Act::Choose(IDC_DEVICE, 1)});
  EXPECT_EQ(run.Control(IDC_FIRMWARE_VERSION).text, "0.1");
  EXPECT_EQ(run.toolkit->EventsStartingWith("beep"), Strings{"beep FFFFFFFF"});
  ASSERT_EQ(run.toolkit->boxes.size(), 1u);
  EXPECT_EQ(run.toolkit->boxes[0].type, MB_OK | MB_ICONEXCLAMATION);  // the framework adds the icon
  EXPECT_EQ(run.toolkit->boxes[0].text, run.dialog->m_drive.GetErrorText());
}

TEST(HostAdapterFirmwareVersion, AnAnswerOvertakenByANewerSelectionIsNotShown) {
  // Down, then Up while the first inquiry still waits: the bus holds both inquiries
  // until both selection changes have been handled, so the older answer comes last.
  sim::StandardDevices devices;
  sim::SimAspiManager bus(devices);
  AdapterRun run(bus);
  std::string shown, before;
  run.Run({Act::Choose(IDC_DEVICE, 1), Act::Focus(IDC_DEVICE), Act::Inspect([&](ScriptedWindow&) {
             bus.SetHeld(true);
             run.toolkit->pending = {Act::KeyInWait(OperatorKey::Up),
                                     Act::Inspect([&](ScriptedWindow&) { bus.SetHeld(false); })};
           }),
           Act::Key(OperatorKey::Down), Act::Inspect([&](ScriptedWindow& w) {
             EXPECT_TRUE(run.toolkit->pending.empty());
             EXPECT_EQ(w.Control(IDC_DEVICE).curSel, 1);
             shown = w.Control(IDC_FIRMWARE_VERSION).text;
             before = run.selection->FirmwareVersion();
           })});
  EXPECT_EQ(shown, "1.00");
  EXPECT_EQ(before, "1.00");
  EXPECT_EQ(run.dialog->m_drive.Address(), DriveAddress::Target(0, 2, 0));
  EXPECT_TRUE(run.Boxes().empty());
}

TEST(HostAdapterUpdate, WhileAnUpdateRunsPumpedSelectionChangesAndRescansAreRefused) {
  sim::StandardDevices devices;
  sim::SimAspiManager bus(devices);
  AdapterRun run(bus);
  SelectionMemory before;
  size_t cdromCommands = 0;
  run.Run({Act::Choose(IDC_DEVICE, 1), Act::Inspect([&](ScriptedWindow&) {
             run.selection->SetUpdateRunning(true);
             before = run.selection->Memory();
             cdromCommands = devices.cdrom->Record().size();
             // Delivered while the next command waits, as the update's would be; the
             // bus holds that command until the last of them has been handled.
             bus.SetHeld(true);
             run.toolkit->pending = {Act::Choose(IDC_DEVICE, 2), Act::Choose(IDC_HOST_ADAPTER, 0),
                                     Act::Notify(IDC_LUN, CBN_SELCHANGE), Act::Menu(ID_OPTION_RESCAN),
                                     Act::Inspect([&](ScriptedWindow&) { bus.SetHeld(false); })};
             run.selection->ShowFirmwareVersion();
           }),
           Act::Inspect([&](ScriptedWindow& w) {
             EXPECT_TRUE(run.toolkit->pending.empty());
             EXPECT_EQ(w.Control(IDC_DEVICE).curSel, 1);
             EXPECT_EQ(w.Control(IDC_HOST_ADAPTER).curSel, 0);
             EXPECT_EQ(w.Control(IDC_LUN).curSel, 0);
             EXPECT_EQ(run.selection->DriveDescription(), "MX-R4410        ");
           })});
  EXPECT_EQ(run.toolkit->EventsStartingWith("beep"), Strings(4, "beep FFFFFFFF"));
  EXPECT_EQ(run.selection->Memory().targetPosition, before.targetPosition);
  EXPECT_EQ(devices.cdrom->Record().size(), cdromCommands);
  EXPECT_EQ(run.dialog->m_drive.Address().targetId, 2);
}

TEST(HostAdapterUpdate, AddressAndWriteFailureText) {
  TestBus bus = TwoAdapters();
  AdapterRun run(bus);
  DriveAddress address;
  run.Run({Act::Choose(IDC_HOST_ADAPTER, 1), Act::Inspect([&](ScriptedWindow&) {
             CScsiDrive& drive = run.dialog->m_drive;
             drive.SetAddress(DriveAddress::Target(5, 5, 5));
             run.selection->AddressDriveForUpdate();
             address = drive.Address();
           })});
  EXPECT_EQ(address, DriveAddress::Target(1, 1, 0));
}

TEST(HostAdapterUpdate, OnlyTheCustomizingCodeRefusalHasItsOwnWriteFailureText) {
  sim::StandardDevices devices;
  devices.drive->RefuseCustomizingCode();
  sim::SimAspiManager bus(devices);
  AdapterRun run(bus);
  std::vector<std::pair<std::string, std::string>> texts;  // write-failure text, error text
  run.Run({Act::Choose(IDC_DEVICE, 1), Act::Inspect([&](ScriptedWindow&) {
             CScsiDrive& drive = run.dialog->m_drive;
             std::vector<uint8_t> block(16384, 0);
             for (int attempt = 0; attempt < 2; ++attempt) {  // the unit attention, then the refusal
               drive.SetBuffer(block.data(), 16384);
               drive.WriteBuffer(5, 0x1F, 0, 0x4000);
               texts.emplace_back(run.selection->WriteFailureText(), drive.GetErrorText());
             }
             drive.TestUnitReady();  // NOT READY without a disc
             texts.emplace_back(run.selection->WriteFailureText(), drive.GetErrorText());
           })});
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].first, texts[0].second);
  EXPECT_EQ(texts[1].first,
            "Error!\n   The Drive Can not up-date,\n    because the customizing code is not corresponding.");
  EXPECT_EQ(texts[2].first, texts[2].second);
  EXPECT_NE(texts[2].second.find("3A-00"), std::string::npos) << texts[2].second;
}

}  // namespace
}  // namespace morv
