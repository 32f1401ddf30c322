// Writes each program's window icon into a hicolor icon theme tree, for the desktop
// entries:
//   morvantide-icons DIR    writes DIR/hicolor/SIZExSIZE/apps/org.morvantide.PROGRAM.png
// Whole multiples of the 32x32 picture stay sharp; the other sizes are scaled smoothly.

#include <QImage>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/qt/qt_icons.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"

namespace {

namespace fs = std::filesystem;

struct ProgramIcon {
  const char* name;
  const morv::ProgramResources& resources;
};

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128};

bool WriteIcons(const fs::path& root, const ProgramIcon& program) {
  const morv::IconResource* icon = program.resources.FindIcon(morv::IDR_MAINFRAME);
  if (icon == nullptr) {
    std::fprintf(stderr, "morvantide-icons: %s has no window icon\n", program.name);
    return false;
  }
  for (int size : kSizes) {
    const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
    const fs::path folder = root / "hicolor" / sizeName / "apps";
    std::error_code error;
    fs::create_directories(folder, error);
    const fs::path file = folder / (std::string("org.morvantide.") + program.name + ".png");
    const QImage scaled = morv::qt::IconImage(*icon, size);
    if (error || !scaled.save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "morvantide-icons: cannot write %s\n", file.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
    return 2;
  }
  const ProgramIcon programs[] = {{"MorvantideNT", morv::ResourcesNT()}, {"Morvantide4", morv::Resources4()}};
  for (const ProgramIcon& program : programs)
    if (!WriteIcons(argv[1], program)) return 1;
  return 0;
}
