// Renders each program's main dialog offscreen into a PNG file, as the programs
// build it, with a few sample parameter files in the list:
//   morvantide_screenshot DIR    writes DIR/MorvantideNT.png and DIR/Morvantide4.png

#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "apps/programs.h"
#include "platform/qt/qt_toolkit.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

namespace fs = std::filesystem;

const char* const kSampleFiles[] = {"R4410_0102.OUC", "R4410_0105.OUC", "R4410_0110.OUC"};

/// Shows the program's main dialog, grabs it into `output` and closes it.
bool Grab(const ProgramDefinition& program, const fs::path& output) {
  qt::QtToolkit toolkit;
  ToolkitFeedback feedback(toolkit, program.resources, program.name);
  ProgramOptions options;
  options.simulate = true;  // a screenshot never touches a real drive
  DeviceAccess devices = program.makeDeviceAccess(options, nullptr, feedback, program.name);
  CFlashDlg dialog(toolkit, feedback, program.resources, *devices.transport, devices.makeSelection);
  bool saved = false;
  // Morvantide4's discovery pumps messages during dialog initialisation, before the
  // dialog shows: wait for the dialog itself.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window) return;
    poll.stop();
    saved = window->grab().save(QString::fromStdString(output.string()), "PNG");
    if (DialogWindow* open = dialog.GetWindow()) open->EndDialog(IDCANCEL);
  });
  poll.start(10);
  dialog.DoModal();
  return saved;
}

}  // namespace
}  // namespace morv

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
    return 2;
  }
  fs::path outputDir = fs::absolute(argv[1]);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication application(qtArgc, argv);

  // The file list shows the current directory: give it a few sample names.
  std::string pattern = (fs::temp_directory_path() / "morvantide-screenshot-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  fs::path samples = pattern;
  for (const char* name : morv::kSampleFiles) std::ofstream(samples / name) << "sample\n";
  fs::current_path(samples);
  // Morvantide4 saves its selection when the dialog closes: not into the developer's own profile.
  setenv("XDG_CONFIG_HOME", samples.c_str(), 1);

  int status = 0;
  for (const morv::ProgramDefinition* program : {&morv::ProgramNT(), &morv::Program4()}) {
    fs::path output = outputDir / (std::string(program->name) + ".png");
    if (morv::Grab(*program, output)) {
      std::printf("%s\n", output.c_str());
    } else {
      std::fprintf(stderr, "could not write %s\n", output.c_str());
      status = 1;
    }
  }
  fs::remove_all(samples);
  return status;
}
