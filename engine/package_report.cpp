#include "engine/package_report.h"

namespace morv {

bool ReportPackage(const PackageVerdict& verdict, const ParameterFile& parameters, Feedback& feedback,
                   std::FILE* trace) {
  if (trace != nullptr && ChecksumFieldRead(verdict)) {
    std::fputs(ChecksumLine(parameters).c_str(), trace);
    std::fflush(trace);
  }
  const bool fileError =
      verdict && (verdict->step == PackageStep::ParameterFile || verdict->step == PackageStep::ImageFile);
  if (fileError) feedback.SetStatusLine(verdict->text);
  if (PackageFilesRead(verdict)) feedback.RestoreWaitCursor();
  if (!verdict) return true;
  feedback.MessageBeep(kSimpleBeep);
  feedback.AfxMessageBox(verdict->text, MB_OK);
  return false;
}

}  // namespace morv
