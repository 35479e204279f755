#include "platform/Picture.h"

#include <algorithm>
#include <cmath>

namespace tolvar {
namespace {

// Premultiplied channels of one pixel, summed with weights.
struct Sum {
  double alpha = 0;
  double red = 0;
  double green = 0;
  double blue = 0;

  void Add(std::uint32_t pixel, double weight) {
    const double a = static_cast<double>(AlphaOf(pixel)) * weight;
    alpha += a;
    red += static_cast<double>(pixel >> 16 & 0xFF) * a;
    green += static_cast<double>(pixel >> 8 & 0xFF) * a;
    blue += static_cast<double>(pixel & 0xFF) * a;
  }
};

std::uint32_t Channel(double value) {
  return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

// How much of source column (or row) `s` the destination cell [begin, end) covers,
// in source units.
double Overlap(int s, double begin, double end) {
  return std::max(0.0, std::min(end, static_cast<double>(s + 1)) - std::max(begin, static_cast<double>(s)));
}

}  // namespace

Picture ScalePicture(const Picture& source, int width, int height) {
  if (source.Empty() || width <= 0 || height <= 0) return {};
  if (width == source.width && height == source.height) return source;
  Picture result{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))};
  const double stepX = static_cast<double>(source.width) / width;
  const double stepY = static_cast<double>(source.height) / height;
  for (int y = 0; y < height; ++y) {
    const double top = y * stepY;
    const double bottom = top + stepY;
    for (int x = 0; x < width; ++x) {
      const double left = x * stepX;
      const double right = left + stepX;
      Sum sum;
      for (int sy = static_cast<int>(top); sy < source.height && sy < bottom; ++sy) {
        const double coverY = Overlap(sy, top, bottom);
        for (int sx = static_cast<int>(left); sx < source.width && sx < right; ++sx) {
          sum.Add(source.At(sx, sy), coverY * Overlap(sx, left, right));
        }
      }
      const double area = stepX * stepY;
      std::uint32_t pixel = 0;
      if (sum.alpha > 0) {
        pixel = Argb(Channel(sum.alpha / area), Channel(sum.red / sum.alpha), Channel(sum.green / sum.alpha),
                     Channel(sum.blue / sum.alpha));
      }
      result.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = pixel;
    }
  }
  return result;
}

namespace {

// Image `index` of a strip of `count` equally wide images.
Picture CellOf(const Picture& strip, int count, int index) {
  const int cellWidth = strip.width / count;
  Picture cell{cellWidth, strip.height, {}};
  cell.pixels.reserve(static_cast<std::size_t>(cellWidth) * static_cast<std::size_t>(strip.height));
  for (int y = 0; y < strip.height; ++y) {
    for (int x = 0; x < cellWidth; ++x) cell.pixels.push_back(strip.At(index * cellWidth + x, y));
  }
  return cell;
}

// Each image of a strip through `change`, put side by side again.
template <typename Change>
Picture EachCell(const Picture& strip, int count, Change change) {
  Picture result;
  for (int index = 0; index < count; ++index) {
    const Picture cell = change(CellOf(strip, count, index));
    if (index == 0) {
      result = Picture{cell.width * count, cell.height,
                       std::vector<std::uint32_t>(static_cast<std::size_t>(cell.width * count) *
                                                  static_cast<std::size_t>(cell.height))};
    }
    for (int y = 0; y < cell.height; ++y) {
      for (int x = 0; x < cell.width; ++x) {
        result.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(result.width) +
                      static_cast<std::size_t>(index * cell.width + x)] = cell.At(x, y);
      }
    }
  }
  return result;
}

bool IsStrip(const Picture& strip, int count) { return count > 0 && !strip.Empty() && strip.width % count == 0; }

}  // namespace

Picture ScaleStrip(const Picture& strip, int count, int imageWidth, int imageHeight) {
  if (!IsStrip(strip, count)) return ScalePicture(strip, imageWidth * std::max(count, 1), imageHeight);
  return EachCell(strip, count, [&](const Picture& cell) { return ScalePicture(cell, imageWidth, imageHeight); });
}

Picture DoubledPicture(const Picture& picture) {
  if (picture.Empty()) return picture;
  const int width = picture.width;
  const int height = picture.height;
  Picture result{2 * width, 2 * height,
                 std::vector<std::uint32_t>(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height))};
  const auto put = [&](int x, int y, std::uint32_t pixel) {
    result.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(result.width) + static_cast<std::size_t>(x)] =
        pixel;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = picture.At(x, y);
      // Beyond the edge a pixel is its own neighbour.
      const std::uint32_t above = y > 0 ? picture.At(x, y - 1) : p;
      const std::uint32_t below = y + 1 < height ? picture.At(x, y + 1) : p;
      const std::uint32_t left = x > 0 ? picture.At(x - 1, y) : p;
      const std::uint32_t right = x + 1 < width ? picture.At(x + 1, y) : p;
      put(2 * x, 2 * y, left == above && left != below && above != right ? above : p);
      put(2 * x + 1, 2 * y, above == right && above != left && right != below ? right : p);
      put(2 * x, 2 * y + 1, below == left && below != right && left != above ? left : p);
      put(2 * x + 1, 2 * y + 1, right == below && right != above && below != left ? below : p);
    }
  }
  return result;
}

Picture DoubledStrip(const Picture& strip, int count) {
  if (!IsStrip(strip, count)) return DoubledPicture(strip);
  return EachCell(strip, count, DoubledPicture);
}

Picture OnBackground(const Picture& picture, std::uint32_t rgb) {
  Picture result = picture;
  for (std::uint32_t& pixel : result.pixels) {
    const std::uint32_t alpha = AlphaOf(pixel);
    std::uint32_t mixed = 0;
    for (const int shift : {16, 8, 0}) {
      const std::uint32_t front = pixel >> shift & 0xFF;
      const std::uint32_t back = rgb >> shift & 0xFF;
      mixed |= ((front * alpha + back * (255 - alpha) + 127) / 255) << shift;
    }
    pixel = 0xFF000000u | mixed;
  }
  return result;
}

int SourceFactorFor(int designed, int wanted, int largestFactor) {
  for (int factor = 1; factor < largestFactor; ++factor) {
    if (designed * factor >= wanted) return factor;
  }
  return std::max(largestFactor, 1);
}

}  // namespace tolvar
