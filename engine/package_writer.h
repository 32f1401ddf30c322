#pragma once
// Writing firmware packages: the parameter file text for an image, and a deterministic
// image. Used by the package tool, the tests, the fuzzer's corpus and the benchmark.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/firmware_image.h"
#include "engine/parameter_file.h"

namespace morv {

/// What a parameter file states besides the checksum.
struct PackageDescription {
  std::string header = std::string(kHeaderPrefix) + std::string(kHeaderVersion);
  std::string model;
  std::array<bool, 3> regions{true, true, true};  ///< region 1 first
};

/// Why `text` would not read back unchanged as one field of `limit`, or empty when it
/// would: it must keep to limit + 1 characters of 0x20-0x7E, without comma or quote.
std::string FieldProblem(std::string_view text, int limit);

/// The ten fields of a parameter file for `description` and `checksum`, two fields to a
/// line where a label helps the reader, with CRLF line ends.
std::string ParameterFileText(const PackageDescription& description, int32_t checksum);

/// Fills `image` with a pattern that depends only on `seed`.
void GenerateImage(uint64_t seed, FirmwareImage& image);

/// Creates or replaces the file at `path` with `size` bytes of `data`; throws FileError.
void WriteFileBytes(const std::string& path, const void* data, std::size_t size);

}  // namespace morv
