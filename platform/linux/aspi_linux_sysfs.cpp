#include "platform/linux/aspi_linux_sysfs.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <system_error>

namespace morv::linux_aspi {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

/// N of "sgN", or nullopt.
std::optional<uint32_t> NodeNumber(std::string_view name) {
  uint32_t number = 0;
  if (name.substr(0, 2) != "sg" || !ParseNumber(name.substr(2), number)) return std::nullopt;
  return number;
}

/// The first line of a small sysfs file, without its line feed.
std::string FirstLine(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

std::optional<ScsiAddress> ParseScsiAddress(std::string_view text) {
  std::string_view parts[4];
  for (int i = 0; i < 3; ++i) {
    size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    parts[i] = text.substr(0, colon);
    text.remove_prefix(colon + 1);
  }
  parts[3] = text;
  ScsiAddress address;
  if (!ParseNumber(parts[0], address.host) || !ParseNumber(parts[1], address.channel) ||
      !ParseNumber(parts[2], address.target) || !ParseNumber(parts[3], address.lun))
    return std::nullopt;
  return address;
}

uint8_t OwnIdFromThisId(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  int id = -1;
  if (!ParseNumber(text, id) || id < 0 || id > 255) return 7;
  return static_cast<uint8_t>(id);
}

std::vector<SgNode> ReadSgNodes(const std::filesystem::path& sysfsRoot) {
  std::map<uint32_t, SgNode> byNumber;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(sysfsRoot / "class" / "scsi_generic", ec)) {
    const std::string name = entry.path().filename().string();
    auto number = NodeNumber(name);
    if (!number) continue;
    std::error_code linkError;
    auto target = std::filesystem::read_symlink(entry.path() / "device", linkError);
    if (linkError) continue;
    if (auto address = ParseScsiAddress(target.filename().string())) byNumber[*number] = {name, *address};
  }
  std::vector<SgNode> nodes;
  for (auto& [number, node] : byNumber) nodes.push_back(std::move(node));
  return nodes;
}

std::vector<HostAdapter> ReadHostAdapters(const std::filesystem::path& sysfsRoot, const std::vector<SgNode>& nodes) {
  std::vector<uint32_t> hosts;
  for (const auto& node : nodes) hosts.push_back(node.address.host);
  std::sort(hosts.begin(), hosts.end());
  hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());

  std::vector<HostAdapter> adapters;
  for (uint32_t host : hosts) {
    const auto dir = sysfsRoot / "class" / "scsi_host" / ("host" + std::to_string(host));
    adapters.push_back({host, FirstLine(dir / "proc_name"), OwnIdFromThisId(FirstLine(dir / "this_id"))});
  }
  return adapters;
}

std::vector<SgNode> NodesAt(const std::vector<SgNode>& nodes, uint32_t host, uint32_t target, uint64_t lun) {
  std::vector<SgNode> found;
  for (const auto& node : nodes)
    if (node.address.host == host && node.address.target == target && node.address.lun == lun) found.push_back(node);
  std::stable_sort(found.begin(), found.end(),
                   [](const SgNode& a, const SgNode& b) { return a.address.channel < b.address.channel; });
  return found;
}

}  // namespace morv::linux_aspi
