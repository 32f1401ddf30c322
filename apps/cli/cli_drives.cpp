#include "apps/cli/cli_drives.h"

#include "apps/aspi_stack.h"
#include "apps/cli/memory_window.h"
#include "apps/pass_through_stack.h"
#include "platform/private_profile.h"
#include "transport/drive_inquiry.h"
#include "ui/drive_letters.h"
#include "ui/host_adapters.h"
#include "ui/resource_ids.h"

namespace morv {
namespace {

/// The selectors and version field a selection half fills, in memory.
struct MemorySelectors {
  MemorySelectors() {
    CDataExchange exchange{window};
    DDX_Control(exchange, IDC_HOST_ADAPTER, hostAdapter);
    DDX_Control(exchange, IDC_DEVICE, device);
    DDX_Control(exchange, IDC_LUN, lun);
    DDX_Control(exchange, IDC_FIRMWARE_VERSION, version);
  }
  SelectorControls Controls() { return {hostAdapter, device, lun, version}; }

  MemoryWindow window;
  CComboBox hostAdapter, device, lun;
  CEdit version;
};

/// MorvantideNT's way: drive letters over the pass-through.
class LetterDrives : public CliDrives {
 public:
  LetterDrives(bool simulate, CommandTrace* trace, Feedback& feedback)
      : m_stack(MakePassThroughStack(simulate, trace)),
        m_drive(*m_stack->transport),
        m_selection(m_drive, feedback, *m_stack->transport) {
    m_selection.Attach(m_selectors.Controls());
  }

  std::vector<ListedDrive> List() override {
    m_selection.OnRescan();
    std::vector<ListedDrive> drives;
    for (int position = 0; position < m_selectors.device.GetCount(); ++position)
      drives.push_back(SelectPosition(position));
    return drives;
  }

  std::optional<ListedDrive> Select(const DriveArgument& named) override {
    m_selection.OnRescan();
    for (int position = 0; position < m_selectors.device.GetCount(); ++position)
      if (m_selectors.device.GetLBText(position)[0] == named.letter) return SelectPosition(position);
    return std::nullopt;
  }

  UpdateTarget& Target() override { return m_selection; }
  CScsiDrive& Drive() override { return m_drive; }

 private:
  ListedDrive SelectPosition(int position) {
    m_selectors.version.SetWindowText("");
    m_selectors.device.SetCurSel(position);
    m_selection.OnSelchangeDevice();
    const std::string entry = m_selectors.device.GetLBText(position);
    return {entry.substr(0, 2), DriveLabel::Unpadded(entry.substr(2)), entry, m_selectors.version.GetWindowText(),
            m_stack->transport->ListedPlace(static_cast<uint8_t>(position))};
  }

  std::unique_ptr<PassThroughStack> m_stack;
  CScsiDrive m_drive;
  MemorySelectors m_selectors;
  DriveLetterSelection m_selection;
};

/// Morvantide4's way: host adapter, target ID and LUN over the ASPI manager. Its
/// profile is neither read nor written: the command line names the drive.
class AdapterDrives : public CliDrives {
 public:
  AdapterDrives(bool simulate, CommandTrace* trace, Feedback& feedback)
      : m_stack(MakeAspiStack(simulate, feedback, trace)),
        m_drive(*m_stack->transport),
        m_profile(std::string()),
        m_selection(m_drive, feedback, *m_stack->transport, *m_stack->claims, m_tables, m_profile) {
    m_selection.Attach(m_selectors.Controls());
    for (int lun = 0; lun < kAspiMaxTargets; ++lun) m_selectors.lun.AddString(std::to_string(lun));
  }

  std::vector<ListedDrive> List() override {
    m_selection.OnRescan();
    std::vector<ListedDrive> drives;
    for (uint8_t adapter = 0; adapter < kAspiMaxHostAdapters; ++adapter)
      for (uint8_t target = 0; target < kAspiMaxTargets; ++target)
        if (Listed(adapter, target)) drives.push_back(SelectAddress(adapter, target, 0));
    return drives;
  }

  std::optional<ListedDrive> Select(const DriveArgument& named) override {
    m_selection.OnRescan();
    if (!Listed(named.hostAdapter, named.targetId)) return std::nullopt;
    return SelectAddress(named.hostAdapter, named.targetId, named.lun);
  }

  UpdateTarget& Target() override { return m_selection; }
  CScsiDrive& Drive() override { return m_drive; }

 private:
  /// A device the scan named; the adapter's own ID (no device node) is not a drive.
  bool Listed(uint8_t adapter, uint8_t target) {
    if (adapter >= kAspiMaxHostAdapters || target >= kAspiMaxTargets) return false;
    return !m_tables.DeviceNames[adapter][target].empty() &&
           !m_stack->claims->PlaceOf(adapter, target, 0).node.empty();
  }

  /// Points the selection memory at the drive, then lets the selectors select it as
  /// the operator's choice would: only that drive is asked for its version.
  ListedDrive SelectAddress(uint8_t adapter, uint8_t target, uint8_t lun) {
    const std::string prefix = std::to_string(adapter) + ":";
    int adapterPosition = 0;
    while (adapterPosition < m_selectors.hostAdapter.GetCount() &&
           m_selectors.hostAdapter.GetLBText(adapterPosition).rfind(prefix, 0) != 0)
      ++adapterPosition;
    // The device selector lists the adapter's named targets in order.
    int targetPosition = 0;
    for (uint8_t t = 0; t < target; ++t) targetPosition += m_tables.DeviceNames[adapter][t].empty() ? 0 : 1;
    SelectionMemory& memory = m_selection.m_memory;
    memory.m_haPosition = adapterPosition;
    memory.SetTargetPosition(adapterPosition, targetPosition);
    memory.SetLunPosition(adapterPosition, targetPosition, lun);
    m_selectors.version.SetWindowText("");
    m_selectors.hostAdapter.SetCurSel(adapterPosition);
    m_selection.OnSelchangeHostAdapter();
    const std::string& product = m_tables.DeviceNames[adapter][target];
    return {DriveArgument{DriveArgument::Way::Adapter, 0, adapter, target, lun}.Text(), DriveLabel::Unpadded(product),
            product, m_selectors.version.GetWindowText(), m_stack->claims->PlaceOf(adapter, target, lun)};
  }

  std::unique_ptr<AspiStack> m_stack;
  CScsiDrive m_drive;
  DeviceNameTables m_tables;
  PrivateProfile m_profile;
  MemorySelectors m_selectors;
  HostAdapterSelection m_selection;
};

}  // namespace

std::unique_ptr<CliDrives> MakeCliDrives(DriveArgument::Way way, bool simulate, CommandTrace* trace, Feedback& feedback) {
  if (way == DriveArgument::Way::Letter) return std::make_unique<LetterDrives>(simulate, trace, feedback);
  return std::make_unique<AdapterDrives>(simulate, trace, feedback);
}

std::optional<std::string> CliUpdateControls::RefreshFirmwareVersion() {
  std::string version;
  if (InquireFirmwareVersion(m_drive, version) != kCodeDone) return std::nullopt;
  return version;
}

}  // namespace morv
