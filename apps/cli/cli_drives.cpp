#include "apps/cli/cli_drives.h"

#include <ostream>

#include "apps/aspi_stack.h"
#include "apps/cli/memory_window.h"
#include "apps/pass_through_stack.h"
#include "platform/private_profile.h"
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

/// What `morvantide list` shows of the drive `half` has selected.
template <typename Half>
ListedDrive Described(const Half& half) {
  const DriveLabel label = half.HistoryLabel();
  return {label.address, label.identification, half.DriveDescription().value_or(""), half.FirmwareVersion(),
          half.ListedPlace()};
}

/// Selects the drive at `address` as the operator would; the version field is emptied
/// first, so a drive that does not answer shows none rather than another's.
template <typename Half>
std::optional<ListedDrive> Chosen(Half& half, MemorySelectors& selectors, const DriveAddress& address) {
  selectors.version.SetWindowText("");
  if (!half.Choose(address)) return std::nullopt;
  return Described(half);
}

/// Where the selection halves' own lines about a scan without drives go: the front
/// end says why itself, once for both ways.
std::ostream& Unwritten() {
  static std::ostream nowhere(nullptr);
  return nowhere;
}

/// MorvantideNT's way: drive letters over the pass-through.
class LetterDrives : public CliDrives {
 public:
  LetterDrives(bool simulate, CommandTrace* trace, Feedback& feedback)
      : m_stack(MakePassThroughStack(simulate, trace)),
        m_drive(*m_stack->transport),
        m_selection(m_drive, feedback, *m_stack->transport, Unwritten()) {
    m_selection.Attach(m_selectors.Controls());
  }

  std::vector<ListedDrive> List() override {
    m_selection.OnRescan();
    std::vector<ListedDrive> drives;
    for (const DriveAddress& address : m_selection.ListedAddresses())
      if (std::optional<ListedDrive> drive = Chosen(m_selection, m_selectors, address)) drives.push_back(*drive);
    return drives;
  }

  std::optional<ListedDrive> Select(const DriveArgument& named) override {
    m_selection.OnRescan();
    return Chosen(m_selection, m_selectors, named.Address());
  }

  std::optional<NoDriveReason> WhyNoDrive() const override { return m_selection.WhyNoDrive(); }
  UpdateTarget& Target() override { return m_selection; }
  CScsiDrive& Drive() override { return m_drive; }

 private:
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
        m_selection(m_drive, feedback, *m_stack->transport, *m_stack->claims, m_tables, m_profile, Unwritten()) {
    m_selection.Attach(m_selectors.Controls());
    for (int lun = 0; lun < kAspiMaxTargets; ++lun) m_selectors.lun.AddString(std::to_string(lun));
  }

  std::vector<ListedDrive> List() override {
    m_selection.OnRescan();
    std::vector<ListedDrive> drives;
    for (const DriveAddress& address : m_selection.ListedAddresses())
      if (IsDevice(address))
        if (std::optional<ListedDrive> drive = Chosen(m_selection, m_selectors, address)) drives.push_back(*drive);
    return drives;
  }

  std::optional<ListedDrive> Select(const DriveArgument& named) override {
    m_selection.OnRescan();
    if (!IsDevice(named.Address())) return std::nullopt;
    return Chosen(m_selection, m_selectors, named.Address());
  }

  std::optional<NoDriveReason> WhyNoDrive() const override { return m_selection.WhyNoDrive(); }
  UpdateTarget& Target() override { return m_selection; }
  CScsiDrive& Drive() override { return m_drive; }

 private:
  /// The adapter's own ID is listed too but has no device node: it is not a drive.
  bool IsDevice(const DriveAddress& address) const {
    return !m_stack->claims->PlaceOf(address.hostAdapter, address.targetId, 0).node.empty();
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


}  // namespace morv
