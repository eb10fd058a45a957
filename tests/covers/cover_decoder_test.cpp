#include "covers/cover_decoder.h"

#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "covers/com_ptr.h"
#include "covers/xplatform_image_win.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using Paint = std::function<void(int x, int y, std::uint8_t* bgra)>;

class ComForTest {
 public:
  ComForTest() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComForTest() { CoUninitialize(); }
};

// Encodes a painted picture with the platform's encoder.
Bytes encode(int w, int h, const GUID& container, const GUID& format, int bytes_per_pixel, const Paint& paint) {
  ComForTest com;
  XComPtr<IWICImagingFactory> factory;
  EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()))));
  XComPtr<IStream> stream;
  EXPECT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())));
  XComPtr<IWICBitmapEncoder> encoder;
  XComPtr<IWICBitmapFrameEncode> frame;
  EXPECT_TRUE(SUCCEEDED(factory->CreateEncoder(container, nullptr, encoder.put())));
  EXPECT_TRUE(SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)));
  EXPECT_TRUE(SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)));
  EXPECT_TRUE(SUCCEEDED(frame->Initialize(nullptr)));
  EXPECT_TRUE(SUCCEEDED(frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h))));
  GUID wanted = format;
  EXPECT_TRUE(SUCCEEDED(frame->SetPixelFormat(&wanted)));
  const UINT stride = static_cast<UINT>(w * bytes_per_pixel);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h));
  std::uint8_t bgra[4];
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      paint(x, y, bgra);
      std::copy_n(bgra, bytes_per_pixel, &pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x * bytes_per_pixel)]);
    }
  EXPECT_TRUE(SUCCEEDED(frame->WritePixels(static_cast<UINT>(h), stride, static_cast<UINT>(pixels.size()), pixels.data())));
  EXPECT_TRUE(SUCCEEDED(frame->Commit()));
  EXPECT_TRUE(SUCCEEDED(encoder->Commit()));
  HGLOBAL global = nullptr;
  GetHGlobalFromStream(stream.get(), &global);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  const auto* data = static_cast<const std::uint8_t*>(GlobalLock(global));
  Bytes out(data, data + stat.cbSize.QuadPart);
  GlobalUnlock(global);
  return out;
}

Bytes png(int w, int h, const Paint& paint) {
  return encode(w, h, GUID_ContainerFormatPng, GUID_WICPixelFormat24bppBGR, 3, paint);
}

void solid_grey(int, int, std::uint8_t* p) { p[0] = p[1] = p[2] = 128, p[3] = 255; }

// Left half red, right half blue.
void red_left_blue_right_4000(int x, int, std::uint8_t* p) {
  const bool left = x < 2000;
  p[0] = left ? 0 : 255;
  p[1] = 0;
  p[2] = left ? 255 : 0;
  p[3] = 255;
}

// An APP1 Exif segment (little-endian TIFF, one IFD0 entry: orientation)
// put right after the start-of-image marker.
Bytes with_orientation(Bytes jpeg, std::uint8_t code) {
  const std::uint8_t app1[] = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                               1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, code, 0, 0, 0, 0, 0, 0, 0};
  jpeg.insert(jpeg.begin() + 2, std::begin(app1), std::end(app1));
  return jpeg;
}

PictureSize size_of(const std::shared_ptr<const XPlatformImage>& image) {
  return image ? PictureSize{image->width(), image->height()} : PictureSize{-1, -1};
}

Gdiplus::Color pixel(const std::shared_ptr<const XPlatformImage>& image, int x, int y) {
  Gdiplus::Color c;
  static_cast<const XPlatformImageWin&>(*image).bitmap()->GetPixel(x, y, &c);
  return c;
}
}  // namespace

TEST(CoverDecoder, FitsTheBoxBothWays) {
  const Bytes wide = png(1000, 500, solid_grey);
  EXPECT_EQ(size_of(decode_cover_thumbnail(wide, 100)), (PictureSize{100, 50}));
  EXPECT_EQ(size_of(decode_cover_thumbnail(png(80, 80, solid_grey), 100)), (PictureSize{100, 100}));
  EXPECT_EQ(size_of(decode_cover(wide, {})), (PictureSize{1000, 500}));
  CoverRequest approximate;
  approximate.box = {300, 300};
  approximate.approximate = true;
  EXPECT_EQ(size_of(decode_cover(wide, approximate)), (PictureSize{333, 167}));
  const auto image = decode_cover_thumbnail(wide, 100);
  ASSERT_TRUE(image);
  EXPECT_EQ(size_of(image->scaled(10, 20)), (PictureSize{10, 20}));
  const Gdiplus::Color grey = pixel(image, 50, 25);
  EXPECT_NEAR(grey.GetR(), 128, 3);
}

TEST(CoverDecoder, StandsAnExifTurnedPictureUpright) {
  const Bytes jpeg = with_orientation(
      encode(4000, 3000, GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR, 3, red_left_blue_right_4000), 6);
  int orientation = 0;
  PictureSize stored;
  CoverRequest request;
  request.box = {100, 100};
  request.orientation = &orientation;
  request.stored_size = &stored;
  const auto upright = decode_cover(jpeg, request);
  EXPECT_EQ(orientation, 6);
  EXPECT_EQ(stored, (PictureSize{4000, 3000}));
  ASSERT_EQ(size_of(upright), (PictureSize{75, 100}));
  // Turned clockwise: the stored left half is now on top.
  EXPECT_GT(pixel(upright, 37, 10).GetR(), 200);
  EXPECT_LT(pixel(upright, 37, 10).GetB(), 60);
  EXPECT_GT(pixel(upright, 37, 90).GetB(), 200);

  request.keep_orientation = true;
  const auto as_stored = decode_cover(jpeg, request);
  ASSERT_EQ(size_of(as_stored), (PictureSize{100, 75}));
  EXPECT_GT(pixel(as_stored, 10, 37).GetR(), 200);
  EXPECT_GT(pixel(as_stored, 90, 37).GetB(), 200);
}

TEST(CoverDecoder, KeepsTransparencyAndOpaqueFormats) {
  const Bytes transparent = encode(20, 10, GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA, 4,
                                   [](int x, int, std::uint8_t* p) { p[0] = p[1] = p[2] = 200, p[3] = x < 10 ? 0 : 255; });
  const auto with_alpha = decode_cover(transparent, {});
  ASSERT_TRUE(with_alpha);
  EXPECT_EQ(static_cast<const XPlatformImageWin&>(*with_alpha).bitmap()->GetPixelFormat(), PixelFormat32bppARGB);
  EXPECT_EQ(pixel(with_alpha, 2, 5).GetA(), 0);
  EXPECT_EQ(pixel(with_alpha, 15, 5).GetA(), 255);
  const auto opaque = decode_cover(png(20, 10, solid_grey), {});
  ASSERT_TRUE(opaque);
  EXPECT_NE(static_cast<const XPlatformImageWin&>(*opaque).bitmap()->GetPixelFormat(), PixelFormat32bppARGB);
}

TEST(CoverDecoder, BytesThatAreNoPictureGiveNone) {
  const std::string text = "these bytes are not an image at all";
  const Bytes junk(text.begin(), text.end());
  EXPECT_FALSE(decode_cover_thumbnail(junk, 100));
  EXPECT_FALSE(decode_cover_thumbnail({}, 100));
  EXPECT_FALSE(decode_cover_gdiplus(junk, {100, 100}));
}

TEST(CoverDecoder, FallbackFitsByAspectRatio) {
  EXPECT_EQ(size_of(decode_cover_gdiplus(png(1000, 500, solid_grey), {100, 100})), (PictureSize{100, 50}));
  EXPECT_EQ(size_of(decode_cover_gdiplus(png(500, 1000, solid_grey), {100, 100})), (PictureSize{50, 100}));
  EXPECT_EQ(size_of(decode_cover_gdiplus(png(30, 40, solid_grey), {})), (PictureSize{30, 40}));
}
