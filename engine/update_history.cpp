#include "engine/update_history.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "engine/line_escape.h"
#include "platform/append_file.h"

namespace morv {
namespace {

/// The civil UTC time to the second, from the calendar types alone (no C library
/// time functions, which differ in thread safety between systems).
std::string UtcTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(time);
  const auto day = floor<days>(seconds);
  const year_month_day date{day};
  const hh_mm_ss clock{seconds - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

}  // namespace

std::string HistoryLine(const std::string& program, DriveKind kind, const UpdateRecord& record) {
  std::string line = "time=" + UtcTime(record.time);
  auto add = [&line](const char* key, const std::string& value) { line += std::string("\t") + key + "=" + EscapedForLine(value); };
  add("program", program);
  add("drive", record.driveAddress);
  add("identification", record.identification);
  add("before", record.versionBefore);
  add("file", record.parameterFile);
  add("checksum", record.checksumField);
  add("regions", record.regions);
  add("answer", record.confirmed ? "Yes" : "No");
  add("outcome", record.outcome);
  if (record.versionAfter) add("after", *record.versionAfter);
  add("kind", kind == DriveKind::Emulated ? "emulated" : "real");
  add("package", record.packagePath);
  add("sha256", record.imageSha256);
  add("node", record.node);
  add("scsi", record.scsiAddress);
  if (!record.failedCommand.empty()) add("failed", record.failedCommand);
  if (!record.failedPiece.empty()) add("piece", record.failedPiece);
  return line + "\n";
}

HistoryLog::HistoryLog(std::string path, std::string program, DriveKind kind)
    : m_path(std::move(path)), m_program(std::move(program)), m_kind(kind) {}

std::string HistoryLog::DefaultPath() { return StateFilePath("morvantide/history.log"); }

void HistoryLog::Append(const UpdateRecord& record) {
  const std::string error = AppendWholeLine(m_path, HistoryLine(m_program, m_kind, record));
  if (!error.empty()) m_failures.push_back("the update was not recorded in the history: " + error);
}

}  // namespace morv
