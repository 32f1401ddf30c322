// morvantide_icon_file PROGRAM FILE: writes the program's main icon (a picture as
// data in its resources) as a Windows .ico file at 16, 32 and 64 pixels, for the
// executable's icon resource.

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

/// A square picture, ARGB, row by row from the top.
struct Picture {
  uint32_t size = 0;
  std::vector<uint32_t> argb;
};

Picture PictureOf(const morv::IconResource& icon) {
  Picture picture{static_cast<uint32_t>(icon.rows.size()), {}};
  for (const std::string& row : icon.rows)
    for (uint32_t x = 0; x < picture.size; ++x) {
      uint32_t argb = 0;
      const char c = x < row.size() ? row[x] : ' ';
      for (const auto& [key, value] : icon.palette)
        if (key == c) argb = value;
      picture.argb.push_back(argb);
    }
  return picture;
}

/// Half the size: each pixel the average of a 2x2 block, colours weighted by alpha.
Picture Halved(const Picture& from) {
  Picture to{from.size / 2, {}};
  for (uint32_t y = 0; y < to.size; ++y)
    for (uint32_t x = 0; x < to.size; ++x) {
      uint32_t sum[4] = {0, 0, 0, 0};  // alpha, then alpha-weighted red, green, blue
      for (uint32_t dy = 0; dy < 2; ++dy)
        for (uint32_t dx = 0; dx < 2; ++dx) {
          const uint32_t p = from.argb[(2 * y + dy) * from.size + 2 * x + dx];
          const uint32_t alpha = p >> 24;
          sum[0] += alpha;
          for (int c = 1; c < 4; ++c) sum[c] += alpha * ((p >> (24 - 8 * c)) & 0xFF);
        }
      uint32_t argb = (sum[0] / 4) << 24;
      for (int c = 1; c < 4; ++c) argb |= (sum[0] ? sum[c] / sum[0] : 0) << (24 - 8 * c);
      to.argb.push_back(argb);
    }
  return to;
}

/// Twice the size: each pixel a 2x2 block.
Picture Doubled(const Picture& from) {
  Picture to{from.size * 2, {}};
  for (uint32_t y = 0; y < to.size; ++y)
    for (uint32_t x = 0; x < to.size; ++x) to.argb.push_back(from.argb[(y / 2) * from.size + x / 2]);
  return to;
}

/// The icon file: its directory, then each image as a bitmap header, BGRA rows
/// bottom-up and the (unused, all-visible) AND mask.
std::vector<uint8_t> IconFile(const std::vector<Picture>& pictures) {
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<uint32_t>(pictures.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(pictures.size());
  auto imageSize = [](const Picture& p) { return 40 + p.size * p.size * 4 + (p.size + 31) / 32 * 4 * p.size; };
  for (const Picture& picture : pictures) {
    out.push_back(static_cast<uint8_t>(picture.size));
    out.push_back(static_cast<uint8_t>(picture.size));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, imageSize(picture));
    Put32(out, offset);  // where the image starts
    offset += imageSize(picture);
  }
  for (const Picture& picture : pictures) {
    Put32(out, 40);
    Put32(out, picture.size);
    Put32(out, picture.size * 2);  // colour and mask
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (uint32_t y = picture.size; y-- > 0;)
      for (uint32_t x = 0; x < picture.size; ++x) Put32(out, picture.argb[y * picture.size + x]);  // B, G, R, A
    out.resize(out.size() + (picture.size + 31) / 32 * 4 * picture.size, 0);
  }
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
  // The desktop's small, standard and large sizes, so none is scaled by the system.
  const Picture picture = PictureOf(*icon);
  const std::vector<uint8_t> bytes = IconFile({Halved(picture), picture, Doubled(picture)});
  std::ofstream file(argv[2], std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file ? 0 : 1;
}
