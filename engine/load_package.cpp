#include "engine/load_package.h"

#include <cstdio>

namespace morv {

std::string ModelMismatchText(const std::string& model) { return "Select '" + model + "'"; }

std::string FileErrorText(int readStep, const FileError& error) {
  return "File Read Error!(" + std::to_string(readStep) + ")\n" + error.Text();
}

bool LoadPackage(const std::string& parameterPath, const std::optional<std::string>& driveDescription,
                 Feedback& feedback, ParameterFile& parameters, FirmwareImage& image, std::FILE* trace) {
  auto fail = [&feedback](const std::string& text) {
    feedback.MessageBeep(kSimpleBeep);
    feedback.AfxMessageBox(text, MB_OK);
    return false;
  };

  parameters = ParameterFile{};
  if (parameterPath.empty()) return fail(kSetFileNameText);

  // readStep names what was under way when a file error arose; it only grows.
  int readStep = 0;
  try {
    PackageFile file(parameterPath);

    readStep = 1;
    ReadField(file, parameters.header, kTextFieldLimit);
    if (!HeaderMatches(parameters.header)) return fail(kVersionUnmatchText);

    readStep = 2;
    ReadField(file, parameters.model, kModelFieldLimit);
    if (!driveDescription || driveDescription->find(parameters.model) == std::string::npos)
      return fail(ModelMismatchText(parameters.model));

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
      ReadField(file, *next.field, next.limit);
    }

    if (trace != nullptr) {
      std::fprintf(trace, "F_CSum= %s \n", parameters.checksumText.c_str());
      std::fflush(trace);
    }
    parameters.checksum = ParseChecksum(parameters.checksumText);
    file.Close();

    readStep = 11;
    PackageFile imageFile(FindImageFile(ImageFileName(parameterPath)));
    readStep = 12;
    ReadImage(imageFile, image);
    imageFile.Close();
  } catch (const FileError& error) {
    const std::string text = FileErrorText(readStep, error);
    feedback.SetStatusLine(text);
    return fail(text);
  }

  feedback.RestoreWaitCursor();
  if (ImageChecksum(image) != parameters.checksum) return fail(kCheckSumErrorText);
  return true;
}

}  // namespace morv
