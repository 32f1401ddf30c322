// libFuzzer target for the package reader. An input is a parameter file, optionally
// followed by the marker "\n#IMAGE\n" and the bytes of the image file. Every input is
// read field by field with ReadField, then read and checked by ReadPackage from memory,
// and the results must keep the reader's promises.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "engine/read_package.h"

namespace {

using namespace morv;

constexpr std::string_view kImageMarker = "\n#IMAGE\n";

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

/// A package file over `bytes`, which must outlive it (fmemopen reads them in place).
std::unique_ptr<PackageFile> OpenInMemory(std::string& bytes) {
  std::FILE* stream = fmemopen(bytes.empty() ? nullptr : bytes.data(), bytes.size(), "r");
  if (stream == nullptr) throw FileError::FromErrno();
  return std::make_unique<PackageFile>(stream);
}

// Every field ReadField delivers holds only kept bytes and at most limit + 1 of them.
void FuzzReadField(std::string& bytes, int limit) {
  const std::unique_ptr<PackageFile> file = OpenInMemory(bytes);
  try {
    for (;;) {
      std::string field;
      ReadField(*file, field, limit);
      Require(field.size() <= static_cast<std::size_t>(limit) + 1);
      for (char c : field) Require(c != ',' && c != '"' && static_cast<int8_t>(c) > 0x1F);
    }
  } catch (const FileError& error) {
    Require(error.endOfFile);
  }
}

void FuzzReadPackage(std::string& parameters, std::string* image) {
  PackageFiles files{
      [&parameters] { return OpenInMemory(parameters); },
      [image]() -> std::unique_ptr<PackageFile> {
        if (image == nullptr) throw FileError{false, ENOENT};
        return OpenInMemory(*image);
      },
  };
  ParameterFile result;
  static FirmwareImage loaded;
  const PackageVerdict verdict = ReadPackage(files, ModelIn("E: KESTREL MX-R4410"), result, loaded);

  Require(result.header.size() <= 36 && result.model.size() <= 21 && result.checksumText.size() <= 36);
  Require(result.region1.size() <= 3 && result.region2.size() <= 3 && result.region3.size() <= 3);
  if (!verdict) {
    Require(HeaderMatches(result.header) && ImageChecksum(loaded) == result.checksum);
  } else {
    Require(!verdict->text.empty());
    Require(verdict->step != PackageStep::FileName);
    Require(ChecksumFieldRead(verdict) == (verdict->step >= PackageStep::ImageFile || verdict->checksumRead));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t marker = input.find(kImageMarker);
  std::string parameters(input.substr(0, marker));
  std::string image;
  if (marker != std::string_view::npos) image = input.substr(marker + kImageMarker.size());

  FuzzReadField(parameters, static_cast<int>(size % 40));
  FuzzReadPackage(parameters, marker != std::string_view::npos ? &image : nullptr);
  return 0;
}
