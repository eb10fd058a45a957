#include "covers/cover_decoder.h"

#include <windows.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <limits>
#include <optional>

#include "covers/com_ptr.h"
#include "covers/exif_orientation.h"
#include "covers/pixel_orientation.h"
#include "covers/xplatform_image_win.h"

namespace {
// The imaging component's high-quality cubic mode; older SDK headers lack
// the name.
constexpr auto kHighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

// COM for the calling thread for the duration of one call; a thread that
// already chose another apartment keeps it.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

struct WicFormat {
  const GUID* wic;
  Gdiplus::PixelFormat gdiplus;
  int bytes_per_pixel;
};
// Formats used as they are, and the platform bitmap format each becomes.
const WicFormat kDirectFormats[] = {
    {&GUID_WICPixelFormat32bppBGR, PixelFormat32bppRGB, 4},
    {&GUID_WICPixelFormat24bppBGR, PixelFormat24bppRGB, 3},
    {&GUID_WICPixelFormat32bppBGRA, PixelFormat32bppARGB, 4},
};

bool has_transparency(IWICImagingFactory* factory, IWICBitmapSource* source, const GUID& format) {
  XComPtr<IWICPalette> palette;
  if (SUCCEEDED(factory->CreatePalette(palette.put())) && SUCCEEDED(source->CopyPalette(palette.get()))) {
    BOOL alpha = FALSE;
    if (SUCCEEDED(palette->HasAlpha(&alpha)) && alpha) return true;
  }
  XComPtr<IWICComponentInfo> info;
  XComPtr<IWICPixelFormatInfo2> format_info;
  BOOL transparent = FALSE;
  return SUCCEEDED(factory->CreateComponentInfo(format, info.put())) &&
         SUCCEEDED(info->QueryInterface(IID_PPV_ARGS(format_info.put()))) &&
         SUCCEEDED(format_info->SupportsTransparency(&transparent)) && transparent;
}

std::unique_ptr<Gdiplus::Bitmap> to_platform_bitmap(const PixelBuffer& pixels, Gdiplus::PixelFormat format) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(pixels.width, pixels.height, format);
  if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Rect all(0, 0, pixels.width, pixels.height);
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok) return nullptr;
  const std::size_t row = static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.bytes_per_pixel);
  for (int y = 0; y < pixels.height; ++y)
    std::memcpy(static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride,
                pixels.pixels.data() + static_cast<std::size_t>(y) * row, row);
  bitmap->UnlockBits(&data);
  return bitmap;
}

// The primary path; nothing when any step fails.
std::shared_ptr<const XPlatformImage> decode_with_wic(std::span<const std::uint8_t> bytes, const CoverRequest& request) {
  XComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()))))
    return nullptr;
  XComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))))
    return nullptr;
  XComPtr<IWICBitmapDecoder> decoder;
  XComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())))
    return nullptr;

  const int orientation = exif_orientation(bytes);
  if (request.orientation) *request.orientation = orientation;
  UINT stored_w = 0;
  UINT stored_h = 0;
  // A picture without pixels is nonsensical; the fallback gets a go.
  if (FAILED(frame->GetSize(&stored_w, &stored_h)) || stored_w < 1 || stored_h < 1 ||
      stored_w > static_cast<UINT>(std::numeric_limits<int>::max()) ||
      stored_h > static_cast<UINT>(std::numeric_limits<int>::max()))
    return nullptr;
  const PictureSize stored{static_cast<int>(stored_w), static_cast<int>(stored_h)};
  if (request.stored_size) *request.stored_size = stored;

  // Scaling happens before the picture is turned.
  PictureSize box = request.box;
  if (orientation_swaps_sides(orientation)) std::swap(box.width, box.height);

  IWICBitmapSource* current = frame.get();
  PictureSize size = stored;
  std::optional<PictureSize> target;
  if (is_box(box)) {
    if (request.approximate) {
      const PictureSize reduced = approximate_fit(stored, box);
      if (!(reduced == stored)) target = reduced;
    } else {
      target = exact_fit(stored, box);
    }
  }
  XComPtr<IWICBitmapScaler> scaler;
  if (target) {
    if (FAILED(factory->CreateBitmapScaler(scaler.put())) ||
        FAILED(scaler->Initialize(current, static_cast<UINT>(target->width), static_cast<UINT>(target->height),
                                  kHighQualityCubic)))
      return nullptr;
    current = scaler.get();
    size = *target;
  }

  GUID format{};
  if (FAILED(current->GetPixelFormat(&format))) return nullptr;
  const WicFormat* chosen = nullptr;
  for (const auto& f : kDirectFormats)
    if (IsEqualGUID(format, *f.wic)) chosen = &f;
  XComPtr<IWICFormatConverter> converter;
  if (!chosen) {
    chosen = has_transparency(factory.get(), frame.get(), format) ? &kDirectFormats[2] : &kDirectFormats[0];
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(current, *chosen->wic, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
      return nullptr;
    current = converter.get();
  }

  PixelBuffer pixels;
  pixels.width = size.width;
  pixels.height = size.height;
  pixels.bytes_per_pixel = chosen->bytes_per_pixel;
  const std::uint64_t row = static_cast<std::uint64_t>(size.width) * static_cast<std::uint64_t>(chosen->bytes_per_pixel);
  const std::uint64_t total = row * static_cast<std::uint64_t>(size.height);
  if (row > std::numeric_limits<UINT>::max() || total > std::numeric_limits<UINT>::max()) return nullptr;
  pixels.pixels.resize(static_cast<std::size_t>(total));
  if (FAILED(current->CopyPixels(nullptr, static_cast<UINT>(row), static_cast<UINT>(total), pixels.pixels.data())))
    return nullptr;

  if (!request.keep_orientation) pixels = apply_orientation(pixels, orientation);
  auto bitmap = to_platform_bitmap(pixels, chosen->gdiplus);
  if (!bitmap) return nullptr;
  return std::make_shared<XPlatformImageWin>(std::move(bitmap));
}
}  // namespace

std::shared_ptr<const XPlatformImage> decode_cover_gdiplus(std::span<const std::uint8_t> bytes, PictureSize box) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<UINT>::max() || !gdiplus_ready()) return nullptr;
  XComPtr<IStream> stream;
  *stream.put() = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (!stream) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.get()));
  if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) return nullptr;
  const PictureSize size{static_cast<int>(decoded->GetWidth()), static_cast<int>(decoded->GetHeight())};
  if (size.width < 1 || size.height < 1) return nullptr;
  // Drawn into a bitmap of its own, which no longer needs the stream.
  const PictureSize target = is_box(box) ? aspect_fit(size, box) : size;
  auto bitmap = draw_scaled(*decoded, target.width, target.height);
  if (!bitmap) return nullptr;
  return std::make_shared<XPlatformImageWin>(std::move(bitmap));
}

std::shared_ptr<const XPlatformImage> decode_cover(std::span<const std::uint8_t> bytes, const CoverRequest& request) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<UINT>::max() || !gdiplus_ready()) return nullptr;
  try {
    {
      const ComScope com;
      if (auto image = decode_with_wic(bytes, request)) return image;
    }
    return decode_cover_gdiplus(bytes, request.box);
  } catch (...) {
    // An allocation failure is one more picture that cannot be shown.
    return nullptr;
  }
}

std::shared_ptr<const XPlatformImage> decode_cover_thumbnail(std::span<const std::uint8_t> bytes, int edge) {
  CoverRequest request;
  request.box = {edge, edge};
  return decode_cover(bytes, request);
}
