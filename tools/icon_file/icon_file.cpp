// morvantide_icon_file PROGRAM FILE: writes the program's main icon (a picture as
// data in its resources) as a Windows .ico file, for the executable's icon resource.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ui/resource_ids.h"
#include "ui/resources.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

/// One 32-bit image: the icon directory, the bitmap header, BGRA rows bottom-up and
/// the (unused, all-visible) AND mask.
std::vector<uint8_t> IconFile(const morv::IconResource& icon) {
  const uint32_t height = static_cast<uint32_t>(icon.rows.size());
  const uint32_t width = height ? static_cast<uint32_t>(icon.rows[0].size()) : 0;
  const uint32_t maskStride = (width + 31) / 32 * 4;
  const uint32_t imageSize = 40 + width * height * 4 + maskStride * height;
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, 1);  // one image
  out.push_back(static_cast<uint8_t>(width));
  out.push_back(static_cast<uint8_t>(height));
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, imageSize);
  Put32(out, 22);  // where the image starts
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height * 2);  // colour and mask
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (uint32_t y = height; y-- > 0;)
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t argb = 0;
      const char c = x < icon.rows[y].size() ? icon.rows[y][x] : ' ';
      for (const auto& [key, value] : icon.palette)
        if (key == c) argb = value;
      Put32(out, argb);  // little-endian ARGB is the file's B, G, R, A
    }
  out.resize(out.size() + maskStride * height, 0);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MorvantideNT|Morvantide4 FILE\n", argv[0]);
    return 2;
  }
  const std::string program = argv[1];
  const morv::ProgramResources& resources = program == "Morvantide4" ? morv::Resources4() : morv::ResourcesNT();
  const morv::IconResource* icon = resources.FindIcon(morv::IDR_MAINFRAME);
  if (!icon) return 1;
  const std::vector<uint8_t> bytes = IconFile(*icon);
  std::ofstream file(argv[2], std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file ? 0 : 1;
}
