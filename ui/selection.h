#pragma once
// The device-selection half of one program, as the main dialog uses it. MorvantideNT
// selects drives by drive letter (ui/drive_letters.h), Morvantide4 by host adapter,
// target ID and LUN (ui/host_adapters.h); discovery itself lives in transport/.

#include "engine/update_target.h"
#include "framework/controls.h"
#include "scsi/scsi_drive.h"

namespace morv {

/// The main dialog's own controls that a selection half fills and reads.
struct SelectorControls {
  CComboBox& hostAdapter;
  CComboBox& device;
  CComboBox& lun;
  CEdit& firmwareVersion;
};

class Selection : public UpdateTarget {
 public:
  /// Works with the dialog's controls from now on; called at the start of dialog
  /// initialisation, once the controls are bound.
  virtual void Attach(const SelectorControls& controls) = 0;
  /// The device steps of dialog initialisation (discovery, remembered selection).
  virtual void InitDevices() = 0;
  /// Menu "Rescan".
  virtual void OnRescan() = 0;
  /// Selection changes of the host adapter, device and LUN selectors.
  virtual void OnSelchangeHostAdapter() = 0;
  virtual void OnSelchangeDevice() = 0;
  virtual void OnSelchangeLun() = 0;
  /// The dialog is being destroyed (Morvantide4 saves its profile here).
  virtual void OnDestroy() = 0;
};

}  // namespace morv
