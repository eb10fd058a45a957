#include "covers/pixel_orientation.h"

#include <algorithm>

#include "covers/exif_orientation.h"

PixelBuffer apply_orientation(const PixelBuffer& in, int code) {
  if (code < 2 || code > 8) return in;
  const int w = in.width;
  const int h = in.height;
  PixelBuffer out;
  out.bytes_per_pixel = in.bytes_per_pixel;
  out.width = orientation_swaps_sides(code) ? h : w;
  out.height = orientation_swaps_sides(code) ? w : h;
  out.pixels.resize(in.pixels.size());
  const auto bpp = static_cast<std::size_t>(in.bytes_per_pixel);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      // The stored pixel that shows at (x, y) of the upright picture.
      int sx = x;
      int sy = y;
      switch (code) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x; sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y; sy = x; break;
        case 6: sx = y; sy = h - 1 - x; break;
        case 7: sx = w - 1 - y; sy = h - 1 - x; break;
        case 8: sx = w - 1 - y; sy = x; break;
      }
      const std::size_t from = (static_cast<std::size_t>(sy) * static_cast<std::size_t>(w) + static_cast<std::size_t>(sx)) * bpp;
      const std::size_t to = (static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)) * bpp;
      std::copy_n(in.pixels.begin() + static_cast<std::ptrdiff_t>(from), bpp, out.pixels.begin() + static_cast<std::ptrdiff_t>(to));
    }
  }
  return out;
}
