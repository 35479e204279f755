#include "platform/Picture_win.h"

#include <algorithm>
#include <cstring>

namespace tolvar {
namespace {

constexpr std::uint32_t kKeyColor = 0xFF00FF;  // pink: transparent in the bitmap resources
constexpr int kLargestFactor = 2;                // a picture is used as drawn or doubled

// The picture, doubled when `wanted` pixels are more than its `side`.
Picture Enlarged(Picture picture, int count, int side, int wanted) {
  return SourceFactorFor(side, wanted, kLargestFactor) > 1 ? DoubledStrip(picture, count) : picture;
}

// A top-down DIB section of the picture's size and `bitsPerPixel` (24 or 32),
// filled from the picture: 32 bits keep the alpha, 24 bits drop it.
UniqueBitmap BitmapOfPixels(const Picture& picture, WORD bitsPerPixel) {
  if (picture.Empty()) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  const std::size_t bytesPerPixel = bitsPerPixel / 8u;
  const std::size_t stride = (static_cast<std::size_t>(picture.width) * bytesPerPixel + 3) / 4 * 4;
  auto* rows = static_cast<BYTE*>(bits);
  for (int y = 0; y < picture.height; ++y) {
    BYTE* out = rows + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < picture.width; ++x, out += bytesPerPixel) {
      // 0xAARRGGBB is stored as the bytes B, G, R (, A).
      const std::uint32_t pixel = picture.At(x, y);
      for (std::size_t byte = 0; byte < bytesPerPixel; ++byte) out[byte] = static_cast<BYTE>(pixel >> (8 * byte));
    }
  }
  ::GdiFlush();
  return bitmap;
}

// A bitmap resource of any depth as pixels, the key colour transparent: the
// system converts it to 32 bits, top-down.
Picture ReadBitmapResource(const wchar_t* name) {
  const UniqueBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, 0)));
  BITMAP shape{};
  if (!bitmap || ::GetObjectW(bitmap.get(), sizeof shape, &shape) != sizeof shape || shape.bmWidth <= 0 ||
      shape.bmHeight <= 0) {
    return {};
  }
  Picture picture{shape.bmWidth, shape.bmHeight,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(shape.bmWidth) * static_cast<std::size_t>(shape.bmHeight))};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(picture.height), picture.pixels.data(), &info,
                               DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != picture.height) return {};
  for (std::uint32_t& pixel : picture.pixels) {
    const std::uint32_t rgb = pixel & 0xFFFFFF;
    pixel = rgb == kKeyColor ? 0 : 0xFF000000u | rgb;
  }
  return picture;
}

// Bit `x` of a row of 1-bit pixels, the leftmost in the high bit.
bool BitAt(const BYTE* row, int x) { return (row[x / 8] >> (7 - x % 8) & 1) != 0; }

// One image of a .ico file: a bottom-up DIB of twice the height, its colour rows
// (1, 4 or 8 bits through a palette, or 24 or 32 bits) followed by the AND mask.
// 32 bits carry their own alpha; at the other depths the mask makes a pixel clear.
// Empty for any other form or when the data is short.
Picture ReadIconImage(const BYTE* data, DWORD size, int width, int height) {
  BITMAPINFOHEADER header{};
  if (size < sizeof header) return {};
  std::memcpy(&header, data, sizeof header);
  const WORD depth = header.biBitCount;
  if (header.biSize != sizeof header || header.biWidth != width || header.biHeight != 2 * height ||
      header.biCompression != BI_RGB || header.biPlanes != 1 ||
      (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32)) {
    return {};
  }
  const std::uint64_t colours = depth > 8 ? 0 : header.biClrUsed != 0 ? header.biClrUsed : 1u << depth;
  if (colours > (1u << (depth > 8 ? 0 : depth))) return {};
  const std::uint64_t colourStride = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
  const std::uint64_t maskStride = (static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  const std::uint64_t paletteAt = sizeof header;
  const std::uint64_t colourAt = paletteAt + 4 * colours;
  const std::uint64_t maskAt = colourAt + colourStride * static_cast<std::uint64_t>(height);
  const std::uint64_t needed = maskAt + (depth == 32 ? 0 : maskStride * static_cast<std::uint64_t>(height));
  if (needed > size) return {};

  const auto rgbAt = [&](std::uint64_t at) {
    return static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 1]) << 8 | data[at];
  };
  Picture picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))};
  for (int y = 0; y < height; ++y) {
    const std::uint64_t row = static_cast<std::uint64_t>(height - 1 - y);
    const BYTE* colourRow = data + colourAt + row * colourStride;
    const BYTE* maskRow = data + maskAt + row * maskStride;
    for (int x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;
      if (depth == 32) {
        std::memcpy(&pixel, colourRow + 4 * static_cast<std::size_t>(x), 4);
      } else if (depth == 24) {
        pixel = 0xFF000000u | rgbAt(colourAt + row * colourStride + 3 * static_cast<std::uint64_t>(x));
      } else {
        const int perByte = 8 / depth;
        const int shift = (perByte - 1 - x % perByte) * depth;
        const std::uint32_t index = colourRow[x / perByte] >> shift & ((1u << depth) - 1);
        if (index >= colours) return {};
        pixel = 0xFF000000u | rgbAt(paletteAt + 4 * static_cast<std::uint64_t>(index));
      }
      if (depth != 32 && BitAt(maskRow, x)) pixel = 0;
      picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = pixel;
    }
  }
  return picture;
}

}  // namespace

Picture LoadBitmapStrip(const wchar_t* name, int count, int designedWidth, int designedHeight, const DpiScale& scale) {
  const int width = scale.Scale(designedWidth);
  const int height = scale.Scale(designedHeight);
  const Picture source = ReadBitmapResource(name);
  if (source.Empty()) return {};
  return ScaleStrip(Enlarged(source, count, source.height, height), count, width, height);
}

Picture LoadIconFilePicture(int resourceId, int designedSize, const DpiScale& scale) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const auto* file = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  const DWORD fileSize = found ? ::SizeofResource(module, found) : 0;
  if (!file || fileSize < 6) return {};
  const auto word = [&](DWORD at) { return static_cast<DWORD>(file[at] | file[at + 1] << 8); };
  const auto dword = [&](DWORD at) { return word(at) | word(at + 2) << 16; };

  // The directory: 6 bytes, then 16 per image (width, height, ..., size, offset).
  const int wanted = scale.Scale(designedSize);
  DWORD chosen = 0;
  int chosenSide = 0;
  const DWORD count = word(4);
  for (DWORD i = 0; i < count && 6 + 16 * (i + 1) <= fileSize; ++i) {
    const DWORD entry = 6 + 16 * i;
    const int side = file[entry] == 0 ? 256 : file[entry];
    const DWORD size = dword(entry + 8);
    const DWORD offset = dword(entry + 12);
    if (file[entry + 1] != file[entry] || offset > fileSize || size > fileSize - offset) continue;
    // The smallest image at least as large as wanted, else the largest.
    const bool better = chosenSide == 0 || (chosenSide < wanted ? side > chosenSide : side >= wanted && side < chosenSide);
    if (better) {
      chosen = entry;
      chosenSide = side;
    }
  }
  if (chosenSide == 0) return {};
  const DWORD offset = dword(chosen + 12);
  const Picture image = ReadIconImage(file + offset, dword(chosen + 8), chosenSide, chosenSide);
  return ScalePicture(Enlarged(image, 1, chosenSide, wanted), wanted, wanted);
}

UniqueBitmap BitmapOnSurface(const Picture& picture, COLORREF surface) {
  const std::uint32_t rgb = static_cast<std::uint32_t>(GetRValue(surface)) << 16 |
                            static_cast<std::uint32_t>(GetGValue(surface)) << 8 | GetBValue(surface);
  return BitmapOfPixels(OnBackground(picture, rgb), 24);
}

UniqueBitmap BitmapWithKey(const Picture& picture, COLORREF surface, COLORREF key) {
  const std::uint32_t rgb = static_cast<std::uint32_t>(GetRValue(surface)) << 16 |
                            static_cast<std::uint32_t>(GetGValue(surface)) << 8 | GetBValue(surface);
  const std::uint32_t keyRgb = static_cast<std::uint32_t>(GetRValue(key)) << 16 |
                               static_cast<std::uint32_t>(GetGValue(key)) << 8 | GetBValue(key);
  Picture shown = OnBackground(picture, rgb);
  for (std::size_t i = 0; i < shown.pixels.size(); ++i) {
    // A pixel less than half covered belongs to the background the mask lets through.
    if (AlphaOf(picture.pixels[i]) < 128) shown.pixels[i] = 0xFF000000u | keyRgb;
  }
  // 24 bits, as the resources are: the mask is made by comparing colours alone.
  return BitmapOfPixels(shown, 24);
}

UniqueIcon IconFromPicture(const Picture& picture) {
  UniqueBitmap colour = BitmapOfPixels(picture, 32);
  if (!colour) return {};
  // The AND mask, for displays that ignore alpha: set where the picture is clear.
  const int stride = (picture.width + 15) / 16 * 2;
  std::vector<BYTE> mask(static_cast<std::size_t>(stride) * static_cast<std::size_t>(picture.height), 0);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (AlphaOf(picture.At(x, y)) == 0) {
        mask[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
      }
    }
  }
  const UniqueBitmap maskBitmap(::CreateBitmap(picture.width, picture.height, 1, 1, mask.data()));
  if (!maskBitmap) return {};
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = maskBitmap.get();
  info.hbmColor = colour.get();
  return UniqueIcon(::CreateIconIndirect(&info));
}

}  // namespace tolvar
