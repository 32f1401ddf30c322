// libFuzzer target for the package reader. An input is a parameter file, optionally
// followed by the marker "\n#IMAGE\n" and the bytes of the image file. Every input is
// read field by field with ReadField, then checked by LoadPackage from real files, and
// the results must keep the reader's promises.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/load_package.h"
#include "engine/package_writer.h"
#include "framework/testing/recording_feedback.h"

namespace {

using namespace morv;

constexpr std::string_view kImageMarker = "\n#IMAGE\n";

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Every field ReadField delivers holds only kept bytes and at most limit + 1 of them.
void FuzzReadField(std::string_view bytes, int limit) {
  std::string copy(bytes);
  PackageFile file(fmemopen(copy.data(), copy.size(), "r"));
  try {
    for (;;) {
      std::string field;
      ReadField(file, field, limit);
      Require(field.size() <= static_cast<std::size_t>(limit) + 1);
      for (char c : field) Require(c != ',' && c != '"' && static_cast<int8_t>(c) > 0x1F);
    }
  } catch (const FileError& error) {
    Require(error.endOfFile);
  }
}

struct Workspace {
  Workspace() {
    char pattern[] = "/tmp/package-fuzzer-XXXXXX";
    Require(mkdtemp(pattern) != nullptr);
    directory = pattern;
    trace = std::fopen("/dev/null", "w");
    Require(trace != nullptr);
  }
  ~Workspace() {
    std::remove((directory + "/P.OUC").c_str());
    std::remove((directory + "/P.bin").c_str());
    std::remove(directory.c_str());
    std::fclose(trace);
  }
  std::string directory;
  std::FILE* trace;
};

void FuzzLoadPackage(std::string_view parameters, const std::string_view* image) {
  static Workspace workspace;
  const std::string parameterPath = workspace.directory + "/P.OUC";
  const std::string imagePath = workspace.directory + "/P.bin";
  WriteFileBytes(parameterPath, parameters.data(), parameters.size());
  if (image != nullptr)
    WriteFileBytes(imagePath, image->data(), image->size());
  else
    std::remove(imagePath.c_str());

  RecordingFeedback feedback;
  ParameterFile result;
  static FirmwareImage loaded;
  const bool accepted = LoadPackage(parameterPath, "E: KESTREL MX-R4410", feedback, result, loaded, workspace.trace);

  Require(result.header.size() <= 36 && result.model.size() <= 21 && result.checksumText.size() <= 36);
  Require(result.region1.size() <= 3 && result.region2.size() <= 3 && result.region3.size() <= 3);
  if (accepted) {
    Require(feedback.events == std::vector<std::string>{"cursor restore"});
    Require(HeaderMatches(result.header) && ImageChecksum(loaded) == result.checksum);
  } else {
    Require(feedback.events.size() >= 2);
    Require(feedback.events[feedback.events.size() - 2] == "beep FFFFFFFF");
    Require(feedback.events.back().starts_with("box 00000000 "));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t marker = input.find(kImageMarker);
  const std::string_view parameters = input.substr(0, marker);
  std::string_view image;
  if (marker != std::string_view::npos) image = input.substr(marker + kImageMarker.size());

  FuzzReadField(parameters, size % 40);
  FuzzLoadPackage(parameters, marker != std::string_view::npos ? &image : nullptr);
  return 0;
}
