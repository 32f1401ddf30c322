// Update Start in the main dialog: the package named in the Selected File field, the
// dialog's own controls and cursor, and boxes with the program's caption.

#include <gtest/gtest.h>

#include <memory>

#include "engine/package_writer.h"
#include "engine/testing/update_fakes.h"
#include "scsi/testing/fake_transport.h"
#include "ui/flash_dlg.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;

/// The dialog's selection half over the update's fake selection; the dialog's own
/// selection handlers do nothing here.
class FakeDialogSelection : public Selection {
 public:
  FakeDialogSelection(CScsiDrive& drive, ProgramKind kind) : m_target(drive, kind) {}
  void Attach(const SelectorControls&) override {}
  void InitDevices() override {}
  void OnRescan() override {}
  void OnSelchangeHostAdapter() override {}
  void OnSelchangeDevice() override {}
  void OnSelchangeLun() override {}
  void OnDestroy() override {}
  std::optional<std::string> DriveDescription() const override { return m_target.DriveDescription(); }
  DriveLabel HistoryLabel() const override { return m_target.HistoryLabel(); }
  std::string FirmwareVersion() const override { return m_target.FirmwareVersion(); }
  void ShowFirmwareVersion(const std::string& version) override { m_target.ShowFirmwareVersion(version); }
  void AddressDriveForUpdate() override { m_target.AddressDriveForUpdate(); }
  std::optional<std::string> ClaimDriveForUpdate() override { return m_target.ClaimDriveForUpdate(); }
  void ReleaseDriveForUpdate() override { m_target.ReleaseDriveForUpdate(); }
  std::string WriteFailureText() const override { return m_target.WriteFailureText(); }
  void SetUpdateRunning(bool running) override { m_target.SetUpdateRunning(running); }

 private:
  testing::FakeUpdateSelection m_target;
};

struct Program {
  const char* name;
  const ProgramResources& (*resources)();
  ProgramKind kind;
};
const Program kPrograms[] = {{"MorvantideNT", &ResourcesNT, ProgramKind::NT},
                             {"Morvantide4", &Resources4, ProgramKind::Four}};

struct ControlState {
  bool updateStart, exit, abort, abortVisible;
  CursorShape cursor;
  bool operator==(const ControlState&) const = default;
};

ControlState StateOf(const ScriptedToolkit& toolkit) {
  const ScriptedWindow& w = *toolkit.windows.at(0);
  return {w.Control(IDC_UPDATE_START).enabled, w.Control(IDOK).enabled, w.Control(IDC_ABORT).enabled,
          w.Control(IDC_ABORT).visible, toolkit.cursor};
}

TEST(FlashDlgUpdate, UpdateStartRunsTheUpdateOnTheChosenFile) {
  struct Case {
    const char* name;
    bool chooseFile;
    std::vector<std::string> boxes;  // "<type> <text>"
    std::vector<unsigned> beeps;
    size_t commands;
  } cases[] = {
      {"package chosen", true, {"00000034 Firmware Update Execute ?", "00000030 Firmware Update Complete"},
       {MB_ICONQUESTION, MB_ICONQUESTION}, 2 + 6 + 1},  // + the INQUIRY for the new version, still locked
      {"no file chosen", false, {"00000030 Set File Name"}, {kSimpleBeep}, 0},
  };
  for (const auto& program : kPrograms) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(program.name) + " " + c.name);
      TempCurrentDirectory dir;
      FirmwareImage image;
      GenerateImage(3, image);
      PackageDescription description;
      description.model = "MX-R4410";
      description.regions = {true, false, true};
      const std::string text = ParameterFileText(description, ImageChecksum(image));
      WriteFileBytes("R4410.OUC", text.data(), text.size());
      WriteFileBytes("R4410.bin", image.data(), image.size());

      ScriptedToolkit toolkit;
      ToolkitFeedback feedback(toolkit, program.resources(), program.name);
      FakeTransport transport(program.kind);
      testing::SteppingClock clock;
      CFlashDlg dialog(toolkit, feedback, program.resources(), transport, [&](CScsiDrive& drive, Feedback&) {
        return std::make_unique<FakeDialogSelection>(drive, program.kind);
      });
      dialog.m_clock = &clock;
      std::vector<ControlState> duringCommands;
      transport.onRequest = [&](const TransportRequest&) { duringCommands.push_back(StateOf(toolkit)); };

      if (c.chooseFile) toolkit.script.push_back(Act::Choose(IDC_FILE_LIST, 0));
      toolkit.script.push_back(Act::Click(IDC_UPDATE_START));
      toolkit.script.push_back(Act::Inspect([](ScriptedWindow&) {}));
      dialog.DoModal();

      std::vector<std::string> boxes;
      for (const auto& box : toolkit.boxes) {
        EXPECT_EQ(box.caption, program.name);
        char type[16];
        std::snprintf(type, sizeof type, "%08X ", box.type);
        boxes.push_back(type + box.text);
      }
      EXPECT_EQ(boxes, c.boxes);
      EXPECT_EQ(toolkit.beeps, c.beeps);
      EXPECT_EQ(transport.sent.size(), c.commands);
      const ControlState locked{false, false, true, false, CursorShape::Wait};
      EXPECT_EQ(duringCommands, std::vector<ControlState>(c.commands, locked));
      EXPECT_EQ(StateOf(toolkit), (ControlState{true, true, false, false, CursorShape::Arrow}));
      EXPECT_EQ(feedback.WaitCursorCount(), 0);
      EXPECT_TRUE(toolkit.faults.empty());
    }
  }
}

}  // namespace
}  // namespace morv
