#include "engine/read_package.h"

namespace morv {

std::string ModelMismatchText(const std::string& model) { return "Select '" + model + "'"; }

std::string FileErrorText(int readStep, const FileError& error) {
  return "File Read Error!(" + std::to_string(readStep) + ")\n" + error.Text();
}

bool ChecksumFieldRead(const PackageVerdict& verdict) { return !verdict || verdict->checksumRead; }

bool PackageFilesRead(const PackageVerdict& verdict) { return !verdict || verdict->step == PackageStep::Checksum; }

std::string ChecksumLine(const ParameterFile& parameters) { return "F_CSum= " + parameters.checksumText + " \n"; }

ModelCheck ModelIn(const std::optional<std::string>& driveDescription) {
  return [driveDescription](const std::string& model) {
    return driveDescription && driveDescription->find(model) != std::string::npos;
  };
}

PackageFiles PackageFilesAt(const std::string& parameterPath) {
  return {
      [parameterPath] { return std::make_unique<PackageFile>(parameterPath); },
      [parameterPath] { return std::make_unique<PackageFile>(FindImageFile(ImageFileName(parameterPath))); },
  };
}

PackageVerdict ReadPackage(const PackageFiles& files, const ModelCheck& modelFits, ParameterFile& parameters,
                           FirmwareImage& image) {
  parameters = ParameterFile{};
  // readStep names what was under way when a file error arose; it only grows.
  int readStep = 0;
  bool checksumRead = false;
  try {
    const std::unique_ptr<PackageFile> file = files.openParameters();
    file->LimitByteReads(kParameterFileByteLimit);

    readStep = 1;
    ReadField(*file, parameters.header, kTextFieldLimit);
    if (!HeaderMatches(parameters.header)) return PackageFailure{PackageStep::Header, kVersionUnmatchText};

    readStep = 2;
    ReadField(*file, parameters.model, kModelFieldLimit);
    if (!modelFits(parameters.model)) return PackageFailure{PackageStep::Model, ModelMismatchText(parameters.model)};

    std::string ignored;  // fields 3, 5, 7 and 9 are free text
    const struct {
      std::string* field;
      int limit;
    } remaining[] = {
        {&ignored, kTextFieldLimit},    {&parameters.region1, kRegionFieldLimit},
        {&ignored, kTextFieldLimit},    {&parameters.region2, kRegionFieldLimit},
        {&ignored, kTextFieldLimit},    {&parameters.region3, kRegionFieldLimit},
        {&ignored, kTextFieldLimit},    {&parameters.checksumText, kTextFieldLimit},
    };
    for (const auto& next : remaining) {
      ++readStep;
      ReadField(*file, *next.field, next.limit);
    }
    checksumRead = true;
    parameters.checksum = ParseChecksum(parameters.checksumText);
    file->Close();
  } catch (const FileError& error) {
    return PackageFailure{PackageStep::ParameterFile, FileErrorText(readStep, error), checksumRead};
  }

  try {
    readStep = 11;
    const std::unique_ptr<PackageFile> imageFile = files.openImage();
    readStep = 12;
    ReadImage(*imageFile, image);
    imageFile->Close();
  } catch (const FileError& error) {
    return PackageFailure{PackageStep::ImageFile, FileErrorText(readStep, error), true};
  }

  if (ImageChecksum(image) != parameters.checksum)
    return PackageFailure{PackageStep::Checksum, kCheckSumErrorText, true};
  return std::nullopt;
}

PackageVerdict ReadPackage(const std::string& parameterPath, const ModelCheck& modelFits, ParameterFile& parameters,
                           FirmwareImage& image) {
  if (parameterPath.empty()) {
    parameters = ParameterFile{};
    return PackageFailure{PackageStep::FileName, kSetFileNameText};
  }
  return ReadPackage(PackageFilesAt(parameterPath), modelFits, parameters, image);
}

}  // namespace morv
