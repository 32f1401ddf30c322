#include "apps/cli/drive_argument.h"

#include <cctype>

namespace morv {
namespace {

constexpr const char* kSgPrefix = "/dev/sg";
constexpr int kLetters = 26;
constexpr int kAspiLimit = 8;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string DriveArgument::Text() const {
  if (way == Way::Letter) return std::string{letter, ':'};
  return std::to_string(hostAdapter) + ":" + std::to_string(targetId) + ":" + std::to_string(lun);
}

std::optional<DriveArgument> ParseDriveArgument(const std::string& text) {
  DriveArgument drive;
  if (text.size() == 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]))) {
    drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return drive;
  }
  if (text.rfind(kSgPrefix, 0) == 0) {
    const std::string number = text.substr(std::string(kSgPrefix).size());
    // "sg4", never "sg04" or "sg+4": the node's own name.
    if (number.empty() || number.size() > 2 || !IsDigit(number[0]) || (number.size() == 2 && !IsDigit(number[1])) ||
        (number.size() == 2 && number[0] == '0'))
      return std::nullopt;
    const int index = std::stoi(number);
    if (index >= kLetters) return std::nullopt;
    drive.letter = static_cast<char>('A' + index);
    return drive;
  }
  if (text.size() == 5 && text[1] == ':' && text[3] == ':' && IsDigit(text[0]) && IsDigit(text[2]) &&
      IsDigit(text[4])) {
    drive.way = DriveArgument::Way::Adapter;
    drive.hostAdapter = static_cast<uint8_t>(text[0] - '0');
    drive.targetId = static_cast<uint8_t>(text[2] - '0');
    drive.lun = static_cast<uint8_t>(text[4] - '0');
    if (drive.hostAdapter >= kAspiLimit || drive.targetId >= kAspiLimit || drive.lun >= kAspiLimit) return std::nullopt;
    return drive;
  }
  return std::nullopt;
}

}  // namespace morv
