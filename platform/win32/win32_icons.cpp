#include "platform/win32/win32_icons.h"

#include <cstring>
#include <vector>

namespace morv::win32 {

HICON CreateIconFrom(const IconResource& icon, int size) {
  if (icon.rows.empty() || icon.rows[0].empty()) return nullptr;
  const int height = static_cast<int>(icon.rows.size());
  const int width = static_cast<int>(icon.rows[0].size());

  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = width;
  header.bV5Height = -height;  // top-down, like the rows
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color) return nullptr;

  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t argb = 0;
      const char c = x < static_cast<int>(icon.rows[y].size()) ? icon.rows[y][x] : ' ';
      for (const auto& [key, value] : icon.palette)
        if (key == c) argb = value;
      pixels[y * width + x] = argb;
    }
  // With a 32-bit colour bitmap the alpha channel decides; the mask only has to exist.
  std::vector<uint8_t> maskBits(static_cast<size_t>((width + 15) / 16 * 2 * height), 0);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, maskBits.data());

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON result = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  if (result && size > 0 && (size != width || size != height)) {
    // The system stretches the picture (and its alpha) to the size asked for.
    HICON stretched = static_cast<HICON>(CopyImage(result, IMAGE_ICON, size, size, 0));
    DestroyIcon(result);
    result = stretched;
  }
  return result;
}

}  // namespace morv::win32
