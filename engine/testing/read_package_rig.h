#pragma once
// A package read and reported as an update does, with what the operator was shown
// and what went to the trace recorded; parameter files written field by field.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/package_report.h"
#include "engine/package_writer.h"
#include "engine/read_package.h"
#include "engine/testing/temp_directory.h"
#include "framework/testing/recording_feedback.h"

namespace morv::testing {

using Events = std::vector<std::string>;

inline const std::string kHeader = "MorvantideParameterFile Ver.4.00";
inline const std::string kModel = "MX-R4410";
inline const std::string kDrive = "E: KESTREL MX-R4410     ";

inline const Events kAccepted{"cursor restore"};
inline Events Rejected(const std::string& text) { return {"beep FFFFFFFF", "box 00000000 " + text}; }
inline Events CheckSumRejected() { return {"cursor restore", "beep FFFFFFFF", "box 00000000 File CheckSum Error "}; }
inline Events FileErrorReport(int step, const std::string& text) {
  const std::string message = "File Read Error!(" + std::to_string(step) + ")\n" + text;
  return {"status " + message, "beep FFFFFFFF", "box 00000000 " + message};
}

// A parameter file with one field per line.
inline std::string Parameters(const std::string& checksum, const std::string& model = kModel,
                       const std::string& flags = "1\nRegion 2\n1\nRegion 3\n1",
                       const std::string& header = kHeader) {
  return header + "\n" + model + "\nRegion 1\n" + flags + "\nCheckSum\n" + checksum + "\n";
}

inline std::string Bytes(const FirmwareImage& image, std::size_t size = kImageSize) {
  return std::string(reinterpret_cast<const char*>(image.data()), size);
}

struct Outcome {
  bool accepted;
  Events events;
  std::string trace;
  ParameterFile parameters;
};

class ReadPackageTest : public ::testing::Test {
 protected:
  ReadPackageTest() {
    GenerateImage(1, m_image);
    m_sum = std::to_string(ImageChecksum(m_image));
  }

  // Reads the package at `path` and reports it as an update does; records what the
  // operator was shown and what went to the trace.
  Outcome Load(const std::string& path, const std::optional<std::string>& description = kDrive) {
    Outcome outcome;
    RecordingFeedback feedback;
    std::FILE* trace = std::tmpfile();
    const PackageVerdict verdict = ReadPackage(path, ModelIn(description), outcome.parameters, m_loaded);
    outcome.accepted = ReportPackage(verdict, outcome.parameters, feedback, trace);
    EXPECT_EQ(outcome.accepted, !verdict.has_value());
    std::rewind(trace);
    for (int c; (c = std::fgetc(trace)) != EOF;) outcome.trace.push_back(static_cast<char>(c));
    std::fclose(trace);
    outcome.events = feedback.events;
    return outcome;
  }

  // In a directory of its own, writes PKG.OUC with `parameters` (nullopt: makes it a
  // directory) and PKG.bin with `image` (nullopt: none; "dir": a directory); loads it.
  Outcome LoadFromFreshDirectory(const std::optional<std::string>& parameters,
                                 const std::optional<std::string>& image) {
    TempDirectory dir;
    const std::string path = dir.Path("PKG.OUC");
    if (parameters)
      dir.Write("PKG.OUC", *parameters);
    else
      std::filesystem::create_directory(path);
    if (image == "dir")
      std::filesystem::create_directory(dir.Path("PKG.bin"));
    else if (image)
      dir.Write("PKG.bin", *image);
    return Load(path);
  }

  // Writes PKG.OUC with `parameters` and, unless nullopt, PKG.bin with `image`; loads it.
  Outcome LoadPkg(const std::string& parameters, const std::optional<std::string>& image,
                  const std::optional<std::string>& description = kDrive) {
    if (image) m_dir.Write("PKG.bin", *image);
    return Load(m_dir.Write("PKG.OUC", parameters), description);
  }

  TempDirectory m_dir;
  FirmwareImage m_image;
  FirmwareImage m_loaded;
  std::string m_sum;
};

}  // namespace morv::testing
