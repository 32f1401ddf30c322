#include "transport/command_trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace morv {

std::unique_ptr<CommandTrace> CommandTrace::Open(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (file == nullptr) {
    error = "cannot open trace file " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<CommandTrace>(new CommandTrace(file, path));
}

CommandTrace::~CommandTrace() { std::fclose(m_file); }

void CommandTrace::Record(const std::string& device, const uint8_t* cdb, size_t cdbLength,
                          uint32_t dataLength, DataDirection direction, const std::string& outcome) {
  Append(FormatLine(device, cdb, cdbLength, dataLength, direction, outcome));
}

void CommandTrace::Note(const std::string& note) { Append("# " + note); }

void CommandTrace::Append(std::string line) {
  if (m_failed) return;
  line += '\n';
  errno = 0;
  std::fwrite(line.data(), 1, line.size(), m_file);
  if (std::fflush(m_file) == 0 && !std::ferror(m_file)) return;
  m_failed = true;
  const int error = errno != 0 ? errno : EIO;
  std::fprintf(stderr, "cannot write trace file %s: %s; no further commands are traced\n", m_path.c_str(),
               std::strerror(error));
}

std::string CommandTrace::FormatLine(const std::string& device, const uint8_t* cdb, size_t cdbLength,
                                     uint32_t dataLength, DataDirection direction,
                                     const std::string& outcome) {
  std::string line = device;
  char hex[4];
  for (size_t i = 0; i < cdbLength; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", cdb[i]);
    line += hex;
  }
  line += " | len=" + std::to_string(dataLength) + " " + DirectionName(direction) + " | " + outcome;
  if (const char* name = cdbLength > 0 ? OperationName(cdb[0]) : nullptr) line += std::string(" | ") + name;
  return line;
}

std::string CommandTrace::DeviceOutcome(uint8_t status, const uint8_t* sense, size_t senseLength) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "status=%02X", status);
  std::string text = buf;
  if (senseLength >= 14 && ((sense[2] & 0x0F) != 0 || sense[12] != 0 || sense[13] != 0)) {
    std::snprintf(buf, sizeof buf, " sense=%02X/%02X/%02X", sense[2] & 0x0F, sense[12], sense[13]);
    text += buf;
  }
  return text;
}

std::string CommandTrace::Refusal(uint8_t code) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "refused code=%02X", code);
  return buf;
}

}  // namespace morv
