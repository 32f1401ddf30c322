#include "engine/update_history.h"

#include <ctime>
#include <utility>

#include "platform/append_file.h"

namespace morv {
namespace {

/// Keeps a value on its line and in its field.
std::string Escaped(const std::string& value) {
  std::string text;
  for (char c : value) {
    switch (c) {
      case '\\': text += "\\\\"; break;
      case '\t': text += "\\t"; break;
      case '\n': text += "\\n"; break;
      case '\r': text += "\\r"; break;
      default: text += c;
    }
  }
  return text;
}

std::string UtcTime(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace

std::string HistoryLine(const std::string& program, const UpdateRecord& record) {
  std::string line = "time=" + UtcTime(record.time);
  auto add = [&line](const char* key, const std::string& value) { line += std::string("\t") + key + "=" + Escaped(value); };
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
  return line + "\n";
}

HistoryLog::HistoryLog(std::string path, std::string program) : m_path(std::move(path)), m_program(std::move(program)) {}

std::string HistoryLog::DefaultPath() { return StateFilePath("morvantide/history.log"); }

void HistoryLog::Append(const UpdateRecord& record) {
  const std::string error = AppendWholeLine(m_path, HistoryLine(m_program, record));
  if (!error.empty()) m_failures.push_back("the update was not recorded in the history: " + error);
}

}  // namespace morv
