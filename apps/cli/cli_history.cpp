// `morvantide history`: the history log as written, or each line as a JSON object
// of its fields, the values as the log writes them (escapes included).

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "apps/cli/cli_commands.h"
#include "apps/cli/json_writer.h"
#include "engine/update_history.h"

namespace morv {
namespace {

JsonObject LineJson(const std::string& line) {
  JsonObject json;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find('\t', start);
    if (end == std::string::npos) end = line.size();
    const std::string field = line.substr(start, end - start);
    const size_t equals = field.find('=');
    if (equals != std::string::npos) json.Add(field.substr(0, equals), field.substr(equals + 1));
    start = end + 1;
  }
  return json;
}

}  // namespace

int RunHistory(const CliOptions& options) {
  const std::string path = HistoryLog::DefaultPath();
  std::ifstream in(path, std::ios::binary);
  // No updates yet: nothing to show, and no failure.
  if (!in && errno != ENOENT) {
    std::fprintf(stderr, "morvantide: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
    return kCliExitFailure;
  }
  std::string array;
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    if (options.json)
      array += (array.empty() ? "" : ",") + LineJson(line).Text();
    else
      std::printf("%s\n", line.c_str());
  }
  if (options.json) std::printf("[%s]\n", array.c_str());
  return kCliExitComplete;
}

}  // namespace morv
