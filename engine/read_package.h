#pragma once
// Reading and checking a firmware package before anything is sent to the drive. The
// reader only reads and checks: it returns the package, or the step that failed and
// the text the operator is to see. Showing it is the caller's job (ReportPackage).

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/firmware_image.h"
#include "engine/image_file_name.h"
#include "engine/package_file.h"
#include "engine/parameter_file.h"
#include "engine/read_field.h"

namespace morv {

/// Texts of the package failures the operator sees.
inline constexpr const char* kSetFileNameText = "Set File Name";
inline constexpr const char* kVersionUnmatchText = "Parameter file version unmatch";
inline constexpr const char* kCheckSumErrorText = "File CheckSum Error ";

/// "Select '<model>'": the package names a model the selected drive is not.
std::string ModelMismatchText(const std::string& model);
/// "File Read Error!(<readStep>)\n<error text>".
std::string FileErrorText(int readStep, const FileError& error);

/// The step of reading and checking that turned a package down, in reading order.
enum class PackageStep {
  FileName,       ///< no parameter file selected
  Header,         ///< the header does not carry this program's format version
  Model,          ///< the package names a model the selected drive is not
  ParameterFile,  ///< the parameter file could not be opened or read to its last field
  ImageFile,      ///< the image file could not be opened or read
  Checksum,       ///< the image's byte sum differs from the package's checksum
};

struct PackageFailure {
  PackageStep step;
  std::string text;            ///< what the operator sees
  bool checksumRead = false;   ///< the checksum field had been read when it failed
};

/// What reading a package came to: nothing (accepted) or the failure.
using PackageVerdict = std::optional<PackageFailure>;

/// Whether the reader got as far as the checksum field (its diagnostic line is due).
bool ChecksumFieldRead(const PackageVerdict& verdict);
/// Whether both files were read in full (the busy cursor is restored then).
bool PackageFilesRead(const PackageVerdict& verdict);
/// The diagnostic line "F_CSum= <checksum text> \n".
std::string ChecksumLine(const ParameterFile& parameters);

/// Whether the package's model fits the drive.
using ModelCheck = std::function<bool(const std::string& model)>;
/// The model occurs in the selected drive's description; without a description (no
/// device selected) no model fits, not even an empty one.
ModelCheck ModelIn(const std::optional<std::string>& driveDescription);

/// Where a package's two files come from: the file system for the programs and the
/// package tool, memory for the fuzzer. Each opener throws FileError when it cannot.
struct PackageFiles {
  std::function<std::unique_ptr<PackageFile>()> openParameters;
  std::function<std::unique_ptr<PackageFile>()> openImage;
};
/// The parameter file at `parameterPath` and the image named after it.
PackageFiles PackageFilesAt(const std::string& parameterPath);

/// Reads the parameter file and the image, and checks the header, the model and the
/// image checksum, in that order. `parameters` and `image` hold what was read (on
/// success the package); the files are closed on return.
PackageVerdict ReadPackage(const PackageFiles& files, const ModelCheck& modelFits, ParameterFile& parameters,
                           FirmwareImage& image);
/// ReadPackage of the files at `parameterPath`; an empty path is the FileName failure.
PackageVerdict ReadPackage(const std::string& parameterPath, const ModelCheck& modelFits, ParameterFile& parameters,
                           FirmwareImage& image);

}  // namespace morv
