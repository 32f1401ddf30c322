#include "engine/package_writer.h"

#include <cerrno>
#include <cstdio>

#include "engine/package_file.h"

namespace morv {

std::string FieldProblem(std::string_view text, int limit) {
  if (text.size() > static_cast<std::size_t>(limit) + 1)
    return "longer than " + std::to_string(limit + 1) + " characters";
  for (char c : text) {
    if (c == ',' || c == '"') return "contains a comma or a double quote";
    if (c < 0x20 || c > 0x7E) return "contains a byte outside printable ASCII";
  }
  return {};
}

std::string ParameterFileText(const PackageDescription& description, int32_t checksum) {
  auto flag = [&](int region) { return description.regions[region] ? "1" : "0"; };
  std::string text;
  text += description.header + "\r\n";
  text += description.model + "\r\n";
  for (int region = 0; region < 3; ++region)
    text += "Region " + std::to_string(region + 1) + "," + flag(region) + "\r\n";
  text += "CheckSum," + std::to_string(checksum) + "\r\n";
  return text;
}

void GenerateImage(uint64_t seed, FirmwareImage& image) {
  // splitmix64: every seed gives a well-mixed, reproducible byte stream.
  uint64_t state = seed;
  for (std::size_t offset = 0; offset < kImageSize; offset += 8) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    for (int i = 0; i < 8; ++i) image[offset + i] = static_cast<uint8_t>(z >> (8 * i));
  }
}

void WriteFileBytes(const std::string& path, const void* data, std::size_t size) {
  errno = 0;
  std::FILE* stream = std::fopen(path.c_str(), "wb");
  if (stream == nullptr) throw FileError::FromErrno();
  const bool written = std::fwrite(data, 1, size, stream) == size;
  const FileError writeError = FileError::FromErrno();
  if (std::fclose(stream) != 0 && written) throw FileError::FromErrno();
  if (!written) throw writeError;
}

}  // namespace morv
