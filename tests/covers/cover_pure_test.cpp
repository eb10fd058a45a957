#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "covers/cover_fit.h"
#include "covers/exif_orientation.h"
#include "covers/pixel_orientation.h"

namespace {
std::vector<std::uint8_t> bytes_of(const std::string& s) { return {s.begin(), s.end()}; }

std::string be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

// A JPEG head: SOI, an APP0 segment, an APP1 Exif segment with one IFD0
// holding `entries`, then start of scan.
std::string jpeg_with_exif(bool little_endian, const std::vector<std::array<unsigned, 4>>& entries) {
  auto u16 = [&](unsigned v) {
    return little_endian ? std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)} : be16(v);
  };
  auto u32 = [&](unsigned v) { return little_endian ? u16(v & 0xFFFF) + u16(v >> 16) : u16(v >> 16) + u16(v & 0xFFFF); };
  std::string tiff = little_endian ? "II" : "MM";
  tiff += u16(42) + u32(8) + u16(static_cast<unsigned>(entries.size()));
  for (const auto& e : entries) {
    // tag, type, count, value (a SHORT value sits in the first two bytes)
    tiff += u16(e[0]) + u16(e[1]) + u32(e[2]) + u16(e[3]) + u16(0);
  }
  tiff += u32(0);
  const std::string app1 = std::string("Exif\0\0", 6) + tiff;
  std::string out = "\xFF\xD8";
  out += "\xFF\xE0" + be16(6) + "JFIF";
  out += "\xFF\xE1" + be16(static_cast<unsigned>(app1.size() + 2)) + app1;
  out += "\xFF\xDA" + be16(2);
  return out;
}

PixelBuffer numbered(int w, int h) {
  PixelBuffer b;
  b.width = w;
  b.height = h;
  b.bytes_per_pixel = 1;
  for (int i = 0; i < w * h; ++i) b.pixels.push_back(static_cast<std::uint8_t>(i));
  return b;
}
}  // namespace

TEST(ExifOrientation, ReadsTag274InEitherByteOrder) {
  for (bool le : {true, false}) {
    EXPECT_EQ(exif_orientation(bytes_of(jpeg_with_exif(le, {{271, 2, 4, 0}, {274, 3, 1, 6}}))), 6) << le;
    EXPECT_EQ(exif_orientation(bytes_of(jpeg_with_exif(le, {{274, 3, 1, 8}}))), 8) << le;
    EXPECT_EQ(exif_orientation(bytes_of(jpeg_with_exif(le, {{274, 4, 1, 6}}))), 1) << "not a SHORT";
    EXPECT_EQ(exif_orientation(bytes_of(jpeg_with_exif(le, {{274, 3, 2, 6}}))), 1) << "two values";
    EXPECT_EQ(exif_orientation(bytes_of(jpeg_with_exif(le, {{275, 3, 1, 6}}))), 1) << "other tag";
  }
}

TEST(ExifOrientation, MalformedOrMissingDataIsNoOrientation) {
  const std::string good = jpeg_with_exif(true, {{274, 3, 1, 3}});
  ASSERT_EQ(exif_orientation(bytes_of(good)), 3);
  // Every truncation stays inside the bytes and finds nothing.
  for (std::size_t n = 0; n + 10 < good.size(); ++n)
    EXPECT_EQ(exif_orientation(bytes_of(good.substr(0, n))), 1) << n;
  std::string huge_count = good;
  // SOI 2 + APP0 8 + APP1 head 4 + "Exif\0\0" 6: the TIFF header is at 20.
  constexpr std::size_t kTiff = 20;
  huge_count[kTiff + 8] = '\xFF';  // IFD0 entry count
  huge_count[kTiff + 9] = '\xFF';
  EXPECT_EQ(exif_orientation(bytes_of(huge_count)), 3);  // found before running out
  std::string far_ifd = good;
  far_ifd[kTiff + 7] = '\x7F';  // IFD0 offset far beyond the end
  EXPECT_EQ(exif_orientation(bytes_of(far_ifd)), 1);
  EXPECT_EQ(exif_orientation(bytes_of("\x89PNG\r\n\x1A\n")), 1);
  EXPECT_EQ(exif_orientation(bytes_of(std::string("\xFF\xD8\xFF\xDA\x00\x02", 6))), 1);
}

TEST(PixelOrientation, EveryCodeStandsThePictureUpright) {
  // Stored 3 x 2:   0 1 2
  //                 3 4 5
  const struct {
    int code;
    int w, h;
    std::vector<std::uint8_t> upright;
  } cases[] = {
      {1, 3, 2, {0, 1, 2, 3, 4, 5}},
      {2, 3, 2, {2, 1, 0, 5, 4, 3}},
      {3, 3, 2, {5, 4, 3, 2, 1, 0}},
      {4, 3, 2, {3, 4, 5, 0, 1, 2}},
      {5, 2, 3, {0, 3, 1, 4, 2, 5}},
      {6, 2, 3, {3, 0, 4, 1, 5, 2}},
      {7, 2, 3, {5, 2, 4, 1, 3, 0}},
      {8, 2, 3, {2, 5, 1, 4, 0, 3}},
      {9, 3, 2, {0, 1, 2, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    const PixelBuffer out = apply_orientation(numbered(3, 2), c.code);
    EXPECT_EQ(out.width, c.w) << c.code;
    EXPECT_EQ(out.height, c.h) << c.code;
    EXPECT_EQ(out.pixels, c.upright) << c.code;
  }
  PixelBuffer wide;
  wide.width = 2;
  wide.height = 1;
  wide.bytes_per_pixel = 3;
  wide.pixels = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(apply_orientation(wide, 6).pixels, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(apply_orientation(wide, 2).pixels, (std::vector<std::uint8_t>{4, 5, 6, 1, 2, 3}));
}

TEST(CoverFit, Sizes) {
  EXPECT_EQ(exact_fit({1000, 500}, {100, 100}), (PictureSize{100, 50}));
  EXPECT_EQ(exact_fit({80, 80}, {100, 100}), (PictureSize{100, 100}));
  EXPECT_EQ(exact_fit({4000, 3000}, {100, 100}), (PictureSize{100, 75}));
  EXPECT_EQ(exact_fit({10000, 1}, {100, 100}), (PictureSize{100, 1}));
  EXPECT_EQ(approximate_fit({1000, 500}, {100, 100}), (PictureSize{100, 50}));
  EXPECT_EQ(approximate_fit({1000, 500}, {300, 300}), (PictureSize{333, 167}));
  EXPECT_EQ(approximate_fit({150, 150}, {100, 100}), (PictureSize{150, 150}));
  EXPECT_EQ(aspect_fit({1000, 500}, {100, 100}), (PictureSize{100, 50}));
  EXPECT_EQ(aspect_fit({500, 1000}, {100, 100}), (PictureSize{50, 100}));
  EXPECT_EQ(aspect_fit({80, 80}, {100, 100}), (PictureSize{100, 100}));
  EXPECT_FALSE(is_box({0, 100}));
  EXPECT_TRUE(is_box({1, 1}));
}
