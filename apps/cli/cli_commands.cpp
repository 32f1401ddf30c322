#include "apps/cli/cli_commands.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/cli_drives.h"
#include "apps/cli/cli_feedback.h"
#include "apps/cli/cli_progress.h"
#include "apps/cli/drive_argument.h"
#include "apps/cli/json_writer.h"
#include "apps/system_power.h"
#include "engine/package_report.h"
#include "engine/sha256.h"
#include "engine/update_history.h"
#include "engine/write_plan.h"
#include "platform/clock.h"
#include "transport/command_trace.h"

namespace morv {
namespace {

constexpr const char* kProgram = "morvantide";

void Error(const std::string& text) { std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str()); }

/// A value for the plain-text tables: "-" for nothing, so every column is one word.
std::string Column(const std::string& value) { return value.empty() ? "-" : value; }

JsonObject DriveJson(const ListedDrive& drive) {
  JsonObject json;
  json.Add("drive", drive.drive)
      .Add("identification", drive.identification)
      .Add("version", drive.version.empty() ? std::nullopt : std::optional<std::string>(drive.version))
      .Add("node", drive.place.node)
      .Add("scsi", drive.place.address);
  return json;
}

/// The drive the command line names, selected; nullopt (and the exit status in
/// `status`) when it is not written as a drive or the scan did not list it.
std::optional<ListedDrive> SelectDrive(const CliOptions& options, CliDrives*& drives,
                                       std::unique_ptr<CliDrives>& owner, CommandTrace* trace, Feedback& feedback,
                                       int& status) {
  const std::optional<DriveArgument> named = ParseDriveArgument(options.drive);
  if (!named) {
    Error("'" + options.drive + "' is not a drive: write E: (a drive letter), /dev/sg4 or 0:2:0 (adapter:target:LUN)");
    status = kCliExitUsage;
    return std::nullopt;
  }
  owner = MakeCliDrives(named->way, options.simulate, trace, feedback);
  drives = owner.get();
  std::optional<ListedDrive> listed = drives->Select(*named);
  if (!listed) {
    const std::string message = "no drive " + named->Text() + " was found (see 'morvantide list')";
    Error(message);
    status = kCliExitDriveRefused;
    // A script reading --json gets its one object whatever the outcome.
    if (options.json)
      std::printf("%s\n", JsonObject()
                               .Add("drive", named->Text())
                               .Add("outcome", "drive-not-found")
                               .Add("message", message)
                               .Add("exit_status", status)
                               .Text()
                               .c_str());
  }
  return listed;
}

/// Where the update's history line goes, kept for the result as well.
class KeptHistory : public UpdateHistory {
 public:
  explicit KeptHistory(DriveKind kind) : m_log(HistoryLog::DefaultPath(), kProgram, kind) {}
  void Append(const UpdateRecord& record) override {
    m_record = record;
    m_log.Append(record);
  }
  const std::optional<UpdateRecord>& Record() const { return m_record; }
  const std::vector<std::string>& Failures() const { return m_log.Failures(); }

 private:
  HistoryLog m_log;
  std::optional<UpdateRecord> m_record;
};

struct FlashResult {
  const char* outcome;
  int status;
};

FlashResult ResultOf(UpdateOutcome outcome, bool downloadStarted) {
  switch (outcome) {
    case UpdateOutcome::Completed: return {"complete", kCliExitComplete};
    case UpdateOutcome::PackageRejected: return {"package-refused", kCliExitPackageRefused};
    case UpdateOutcome::AbortedByUser: return {"aborted", kCliExitDriveRefused};
    case UpdateOutcome::DriveRefused: return {"drive-refused", kCliExitDriveRefused};
    case UpdateOutcome::DriveNotReady: return {"not-ready", kCliExitDriveRefused};
    case UpdateOutcome::BatteryLow: return {"battery-low", kCliExitDriveRefused};
    case UpdateOutcome::Declined: return {"declined", kCliExitDeclined};
    case UpdateOutcome::WriteRefused: return {"write-refused", kCliExitDownloadFailed};
    case UpdateOutcome::NoMemory: break;
  }
  return {"no-memory", downloadStarted ? kCliExitDownloadFailed : kCliExitFailure};
}

std::optional<std::string> Given(const std::string& text) {
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

/// `path` made absolute, as the history names the package.
std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int RunList(const CliOptions& options, CommandTrace* trace) {
  CliFeedback feedback(kProgram, Answering::Yes);
  std::vector<ListedDrive> drives;
  std::optional<NoDriveReason> whyNone;
  for (DriveArgument::Way way : {DriveArgument::Way::Letter, DriveArgument::Way::Adapter}) {
    const std::unique_ptr<CliDrives> wayDrives = MakeCliDrives(way, options.simulate, trace, feedback);
    const std::vector<ListedDrive> found = wayDrives->List();
    drives.insert(drives.end(), found.begin(), found.end());
    // Either way's denial names the fix; otherwise nothing answered.
    if (const std::optional<NoDriveReason> why = wayDrives->WhyNoDrive(); why && whyNone != NoDriveReason::AccessDenied)
      whyNone = why;
  }
  if (drives.empty() && whyNone) Error(NoDriveText(*whyNone));
  if (options.json) {
    std::string array;
    for (const ListedDrive& drive : drives) array += (array.empty() ? "" : ",") + DriveJson(drive).Text();
    std::printf("%s\n", JsonObject().AddJson("drives", "[" + array + "]").Text().c_str());
  } else {
    std::printf("%-6s %-12s %-9s %-8s %s\n", "DRIVE", "NODE", "SCSI", "VERSION", "IDENTIFICATION");
    for (const ListedDrive& drive : drives)
      std::printf("%-6s %-12s %-9s %-8s %s\n", drive.drive.c_str(), Column(drive.place.node).c_str(),
                  Column(drive.place.address).c_str(), Column(drive.version).c_str(),
                  Column(drive.identification).c_str());
  }
  return kCliExitComplete;
}

int RunCheck(const CliOptions& options, CommandTrace* trace) {
  CliFeedback feedback(kProgram, Answering::Yes);
  CliDrives* drives = nullptr;
  std::unique_ptr<CliDrives> owner;
  int status = kCliExitComplete;
  const std::optional<ListedDrive> listed = SelectDrive(options, drives, owner, trace, feedback, status);
  if (!listed) return status;
  ParameterFile parameters;
  FirmwareImage image;
  const PackageVerdict verdict =
      ReadPackage(options.package, ModelIn(drives->Target().DriveDescription()), parameters, image);
  const bool accepted = ReportPackage(verdict, parameters, feedback, stderr);
  const RegionSelection regions = SelectedRegions(parameters);
  const std::string sha256 = accepted ? Sha256Hex(image.data(), image.size()) : std::string();
  if (options.json) {
    JsonObject json = DriveJson(*listed);
    json.Add("package", AbsolutePath(options.package))
        .Add("outcome", accepted ? "accepted" : "package-refused")
        .Add("message", accepted ? std::nullopt : std::optional<std::string>(verdict->text))
        .Add("regions", accepted ? std::optional<std::string>(RegionsText(regions)) : std::nullopt)
        .Add("pieces", accepted ? static_cast<int>(BuildWritePlan(regions).size()) : 0)
        .Add("sha256", Given(sha256))
        .Add("exit_status", accepted ? kCliExitComplete : kCliExitPackageRefused);
    std::printf("%s\n", json.Text().c_str());
  } else if (accepted) {
    std::printf("%s fits %s %s: regions %s, %zu pieces, image sha256 %s\n", options.package.c_str(),
                listed->drive.c_str(), listed->identification.c_str(), RegionsText(regions).c_str(),
                BuildWritePlan(regions).size(), sha256.c_str());
  }
  return accepted ? kCliExitComplete : kCliExitPackageRefused;
}

int RunFlash(const CliOptions& options, CommandTrace* trace) {
  const auto start = std::chrono::steady_clock::now();
  if (!options.yes && !isatty(STDIN_FILENO)) {
    Error("standard input is not a terminal, so nobody can answer \"Firmware Update Execute ?\"; "
          "give --yes to flash without the question");
    return kCliExitUsage;
  }
  CliFeedback feedback(kProgram, options.yes ? Answering::Yes : Answering::Prompt);
  CliDrives* drives = nullptr;
  std::unique_ptr<CliDrives> owner;
  int status = kCliExitComplete;
  const std::optional<ListedDrive> listed = SelectDrive(options, drives, owner, trace, feedback, status);
  if (!listed) return status;

  const DriveKind kind = options.simulate ? DriveKind::Emulated : DriveKind::Real;
  KeptHistory history(kind);
  const std::unique_ptr<MachinePower> power = MakeSystemMachinePower(kProgram, [trace](const std::string& line) {
    if (trace != nullptr)
      trace->Note(line);
    else
      Error(line);
  });
  CliUpdateControls controls;
  CliProgress progress(kProgram, isatty(STDERR_FILENO) != 0);
  const UpdateOutcome outcome = RunUpdate(options.package, {drives->Drive(), feedback, drives->Target(), controls,
                                                             SystemClock(), stderr, &history, power.get(), &progress});
  const FlashResult result = ResultOf(outcome, progress.Started());
  const std::optional<UpdateRecord>& record = history.Record();
  std::optional<std::string> failedCommand, failedPiece;
  if (outcome == UpdateOutcome::DriveNotReady) failedCommand = "TEST UNIT READY";
  if (record && !record->failedCommand.empty()) failedCommand = record->failedCommand;
  if (record && !record->failedPiece.empty()) failedPiece = record->failedPiece;
  const std::optional<std::string> after = record ? record->versionAfter : std::nullopt;
  const std::optional<std::string> message =
      feedback.Messages().empty() ? std::nullopt : std::optional<std::string>(feedback.Messages().back());

  if (options.json) {
    JsonObject json = DriveJson(*listed);
    json.Add("kind", kind == DriveKind::Emulated ? "emulated" : "real")
        .Add("package", record ? record->packagePath : AbsolutePath(options.package))
        .Add("sha256", record ? Given(record->imageSha256) : std::nullopt)
        .Add("regions", record ? Given(record->regions) : std::nullopt)
        .Add("version_before", listed->version)
        .Add("version_after", after)
        .Add("outcome", result.outcome)
        .Add("message", outcome == UpdateOutcome::Completed ? std::nullopt : message)
        .Add("failed_command", failedCommand)
        .Add("failed_piece", failedPiece)
        .Add("pieces_planned", progress.Planned())
        .Add("pieces_sent", progress.Sent())
        .Add("seconds_download", progress.DownloadSeconds())
        .Add("seconds_total", SecondsSince(start))
        .Add("exit_status", result.status);
    std::printf("%s\n", json.Text().c_str());
  } else {
    std::printf("%s: %s %s %s, firmware %s%s\n", result.outcome, listed->drive.c_str(),
                Column(listed->place.node).c_str(), listed->identification.c_str(), Column(listed->version).c_str(),
                after ? (" -> " + *after).c_str() : "");
  }
  std::fflush(stdout);
  for (const std::string& failure : history.Failures()) Error(failure);
  // Only now may a signal that came during the download end the program.
  feedback.EndHold();
  return result.status;
}

}  // namespace morv
