#include "engine/read_field.h"

#include <cstdint>

namespace morv {

void ReadField(PackageFile& file, std::string& field, int limit) {
  int count = 0;
  for (;;) {
    uint8_t byte = file.ReadByte();
    if (byte == ',' || byte == '\n') return;
    // The separator test comes first, so a separator right after the last character
    // that fits still ends the field normally; any other byte here is consumed and lost.
    if (count > limit) return;
    if (byte == '"' || static_cast<int8_t>(byte) <= 0x1F) continue;
    field.push_back(static_cast<char>(byte));
    ++count;
  }
}

}  // namespace morv
