#pragma once
// Reading and checking a firmware package before anything is sent to the drive.

#include <cstdio>
#include <optional>
#include <string>

#include "engine/firmware_image.h"
#include "engine/image_file_name.h"
#include "engine/package_file.h"
#include "engine/parameter_file.h"
#include "engine/read_field.h"
#include "framework/feedback.h"

namespace morv {

/// Texts of the package failures the operator sees.
inline constexpr const char* kSetFileNameText = "Set File Name";
inline constexpr const char* kVersionUnmatchText = "Parameter file version unmatch";
inline constexpr const char* kCheckSumErrorText = "File CheckSum Error ";

/// "Select '<model>'": the package names a model the selected drive is not.
std::string ModelMismatchText(const std::string& model);
/// "File Read Error!(<readStep>)\n<error text>".
std::string FileErrorText(int readStep, const FileError& error);

/// Reads the parameter file at `parameterPath` and the image named after it, and checks
/// the header, that the package's model occurs in `driveDescription`, and the image
/// checksum. Without a description (no device selected) no model matches, not even an
/// empty one. Reports every failure itself through `feedback` (a file error also on the
/// status line, first) and returns false; on success `parameters` and `image` hold the
/// package and both files are closed. Writes the "F_CSum=" diagnostic line to `trace`
/// (standard output for the programs; null for none).
bool LoadPackage(const std::string& parameterPath, const std::optional<std::string>& driveDescription,
                 Feedback& feedback, ParameterFile& parameters, FirmwareImage& image, std::FILE* trace = stdout);

}  // namespace morv
