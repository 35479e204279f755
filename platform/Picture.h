// The program's pictures as plain pixels, so that they can be drawn at any
// display scale: resampled from the nearest drawn size, smoothly and without a
// colour fringe where they are transparent. No window code here.
#pragma once

#include <cstdint>
#include <vector>

namespace tolvar {

// Pixels as 0xAARRGGBB, rows from the top, alpha not premultiplied.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  // Empty too when the pixels do not fill width x height, so that no caller reads
  // past them.
  bool Empty() const noexcept {
    return width <= 0 || height <= 0 ||
           pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

constexpr std::uint32_t Argb(std::uint32_t alpha, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return alpha << 24 | red << 16 | green << 8 | blue;
}
constexpr std::uint32_t AlphaOf(std::uint32_t pixel) { return pixel >> 24; }

// `source` resampled to width x height. Each new pixel is the mean of the source
// area it covers, weighted by coverage and, for the colour, by alpha, so that a
// transparent neighbour neither darkens nor tints an edge. At the source's own
// size the pixels are returned unchanged; an empty source gives an empty picture.
Picture ScalePicture(const Picture& source, int width, int height);

// A strip of `count` equally wide images side by side, each resampled on its own
// to imageWidth x imageHeight, so that no image bleeds into its neighbour.
Picture ScaleStrip(const Picture& strip, int count, int imageWidth, int imageHeight);

// The picture at twice its size by the Scale2x rules for pixel art: every pixel
// becomes four, and a quarter takes the colour of the two neighbours it touches
// when they agree, so that slanted and round edges come out as finer steps
// rather than blocks, sharp and with no colour the picture does not have.
Picture DoubledPicture(const Picture& picture);

// A strip of `count` equally wide images, each doubled on its own.
Picture DoubledStrip(const Picture& strip, int count);

// The picture as an opaque surface of colour 0xRRGGBB shows it.
Picture OnBackground(const Picture& picture, std::uint32_t rgb);

// Of a picture drawn at `designed` pixels and doubled (or made 3 ...
// `largestFactor` times as large), the factor to resample from for `wanted`
// pixels: the smallest size that is at least as large, else the largest.
// Scaling down from above keeps the picture sharp; scaling up would blur it.
int SourceFactorFor(int designed, int wanted, int largestFactor);

}  // namespace tolvar
