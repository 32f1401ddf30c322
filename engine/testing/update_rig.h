#pragma once
// One update sequence over the scripted transport, with every collaborator recorded:
// what was sent, what each command carried, the dialog's look and the machine's
// keep-awake hold while commands were out, the boxes and status lines, the clock's sleeps and the history's records.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/testing/update_fakes.h"
#include "engine/update_sequence.h"
#include "framework/testing/recording_feedback.h"
#include "platform/testing/scripted_machine_power.h"
#include "scsi/testing/fake_transport.h"

namespace morv::testing {

struct UpdateRig {
  using Cdb = std::vector<uint8_t>;
  using Events = std::vector<std::string>;

  explicit UpdateRig(ProgramKind kind, const RegionSelection& regions = {true, true, true})
      : transport(kind), selection(drive, kind), package(regions) {
    // Asked after a completed update, the drive reports its new version.
    transport.inquiryReply.emplace().dataIn = VersionInquiry("2.00");
    transport.onRequest = [this](const TransportRequest& request) {
      data.emplace_back(request.data, request.data + (request.data ? request.dataLength : 0));
      // What the dialog looks like while a command is out.
      awakeDuringCommands.push_back(power.held);
      lockedDuringCommands &= !controls.updateStartEnabled && !controls.exitEnabled && controls.abortEnabled &&
                              selection.updateRunning;
    };
  }

  /// INQUIRY data with `version` from byte 32.
  static std::vector<uint8_t> VersionInquiry(const std::string& version) {
    std::vector<uint8_t> inquiry(96, 0);
    std::copy(version.begin(), version.end(), inquiry.begin() + 32);
    return inquiry;
  }

  UpdateOutcome Run() { return RunUpdate(parameterFile, {drive, feedback, selection, controls, clock, nullptr, &history,
                                          machinePower ? machinePower : &power}); }

  /// How often the drive was asked for its identification.
  size_t Inquiries() const {
    return std::count_if(transport.sent.begin(), transport.sent.end(), [](const auto& s) { return s.cdb[0] == 0x12; });
  }
  std::vector<Cdb> Cdbs() const {
    std::vector<Cdb> cdbs;
    for (const auto& sent : transport.sent) cdbs.push_back(sent.cdb);
    return cdbs;
  }
  /// The WRITE BUFFER CDBs (everything after TEST UNIT READY and the vendor command).
  std::vector<Cdb> Writes() const {
    std::vector<Cdb> writes;
    for (const auto& cdb : Cdbs())
      if (cdb[0] == 0x3B) writes.push_back(cdb);
    return writes;
  }
  /// Whether every control is back as it was and the busy cursor ended.
  bool Restored() const {
    return controls.updateStartEnabled && controls.exitEnabled && !controls.abortEnabled && feedback.waitCount == 0 &&
           feedback.EventsStartingWith("cursor begin").size() == 1 &&
           feedback.EventsStartingWith("cursor end").size() == 1 && !selection.updateRunning &&
           std::none_of(transport.sent.begin(), transport.sent.end(),
                        [this](const auto& sent) { return drive.UsesBuffer(sent.data); });
  }
  /// Events from the confirmation question on, cursor changes left out.
  Events BoxesAndStatus() const {
    Events out;
    for (const auto& e : feedback.events)
      if (e.rfind("cursor", 0) != 0) out.push_back(e);
    return out;
  }

  RecordingFeedback feedback;
  FakeTransport transport;
  CScsiDrive drive{transport};
  FakeUpdateSelection selection;
  FakeUpdateControls controls;
  SteppingClock clock;
  SamplePackage package;
  std::string parameterFile = package.path;  ///< the operator's choice
  RecordingHistory history;
  ScriptedMachinePower power;
  MachinePower* machinePower = nullptr;  // another backend in place of `power`
  std::vector<std::vector<uint8_t>> data;  // the data each command carried
  bool lockedDuringCommands = true;
  std::vector<bool> awakeDuringCommands;  // whether the machine was kept awake at each command
};

}  // namespace morv::testing
