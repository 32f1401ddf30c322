#pragma once
// Morvantide4's main dialog on the scripted toolkit over an ASPI manager, with the
// profile in a fresh folder, and a test bus of named adapters and answering drives.

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/temp_directory.h"
#include "platform/private_profile.h"
#include "transport/testing/inquiry_device.h"
#include "transport/testing/test_bus.h"
#include "ui/flash_dlg.h"
#include "ui/host_adapters.h"
#include "ui/resources.h"
#include "ui/toolkit_feedback.h"

namespace morv::testing {

/// Tables whose `failAt`th store (counted from 1) finds no memory.
class FailingTables : public DeviceNameTables {
 public:
  int failAt = 0;
  bool Store(std::string& entry, const std::string& name) override {
    if (++m_stores == failAt) return false;
    return DeviceNameTables::Store(entry, name);
  }

 private:
  int m_stores = 0;
};

/// Drive claims for a test bus that keeps none: every claim is granted and each
/// address is its own place.
class UncontestedClaims : public AspiDriveClaims {
 public:
  DevicePlace PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) override {
    return {{}, std::to_string(adapter) + ":" + std::to_string(target) + ":" + std::to_string(lun)};
  }
  ClaimOutcome Claim(uint8_t, uint8_t, uint8_t) override { return {ClaimStatus::Claimed, {}, 0}; }
  void Release(uint8_t, uint8_t, uint8_t) override {}
};

/// The main dialog of Morvantide4 over `manager`, with the profile in a fresh folder.
struct AdapterRun {
  explicit AdapterRun(AspiManager& m) : manager(m) {}

  UncontestedClaims claims;

  void Run(std::deque<UserAction> script = {}) {
    toolkit = std::make_unique<ScriptedToolkit>();
    feedback = std::make_unique<ToolkitFeedback>(*toolkit, Resources4(), "Morvantide4");
    transport = std::make_unique<AspiTransport>(manager, *feedback);
    toolkit->script = std::move(script);
    dialog = std::make_unique<CFlashDlg>(*toolkit, *feedback, Resources4(), *transport,
                                         [this](CScsiDrive& drive, Feedback& f) {
                                           auto owned = std::make_unique<HostAdapterSelection>(
                                               drive, f, *transport, claims, tables, profile, errors);
                                           selection = owned.get();
                                           return owned;
                                         });
    dialog->DoModal();
  }

  const ScriptedControl& Control(int id) const { return toolkit->windows.at(0)->Control(id); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& box : toolkit->boxes) out.push_back(box.caption + ": " + box.text);
    return out;
  }
  void WriteProfile(const std::string& text) const { std::ofstream(profile.Path(), std::ios::binary) << text; }
  std::string ProfileText() const {
    std::ifstream in(profile.Path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  AspiManager& manager;
  TempCurrentDirectory dir;
  FailingTables tables;
  PrivateProfile profile{(dir.Path() / "Morvantide4.INI").string()};
  std::ostringstream errors;
  std::unique_ptr<ScriptedToolkit> toolkit;
  std::unique_ptr<ToolkitFeedback> feedback;
  std::unique_ptr<AspiTransport> transport;
  std::unique_ptr<CFlashDlg> dialog;
  HostAdapterSelection* selection = nullptr;
};

/// "DRIVE 13        ": the product identification of target 3 on adapter 1.
inline std::string Product(int ha, int target) { return "DRIVE " + std::to_string(ha) + std::to_string(target) + "        "; }

/// A drive at `target` of adapter `ha`, firmware version "<ha>.<target>".
inline void PutDrive(TestBus& bus, int ha, int target) {
  bus.devices[{ha, target}] = std::make_shared<InquiryDevice>(0x05, "VENDOR  " + Product(ha, target),
                                                              std::to_string(ha) + "." + std::to_string(target));
}

/// Two named adapters with a drive at targets 1 and 3 of each.
inline TestBus TwoAdapters() {
  TestBus bus;
  bus.adapters = {{"FIRST HOST"}, {"SECOND HOST"}};
  for (int ha : {0, 1})
    for (int target : {1, 3}) PutDrive(bus, ha, target);
  return bus;
}

}  // namespace morv::testing
