// Turning and flipping decoded pixels so that a picture stands upright:
// done in our own code because the platform's flip-rotator cannot turn by a
// quarter everywhere.
#pragma once
#include <cstdint>
#include <vector>

// Rows top to bottom, pixels left to right, no padding between rows.
struct PixelBuffer {
  int width = 0;
  int height = 0;
  int bytes_per_pixel = 4;
  std::vector<std::uint8_t> pixels;
};

// The upright picture for an orientation code: 2 mirrored, 3 turned by 180
// degrees, 4 upside down mirrored, 5 transposed (turned by 270 degrees
// after a mirror), 6 turned by 90 degrees clockwise, 7 transverse (turned
// by 90 degrees after a mirror), 8 turned by 270 degrees clockwise. Any
// other code leaves the picture as it is.
PixelBuffer apply_orientation(const PixelBuffer& stored, int code);
