#include "covers/xplatform_image_win.h"

#include <mutex>

bool gdiplus_ready() {
  static bool ready = false;
  static std::once_flag once;
  std::call_once(once, [] {
    // Started for the life of the process: pictures may be drawn until exit.
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ready = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  });
  return ready;
}

int XPlatformImageWin::width() const { return static_cast<int>(bitmap_->GetWidth()); }
int XPlatformImageWin::height() const { return static_cast<int>(bitmap_->GetHeight()); }

std::shared_ptr<const XPlatformImage> XPlatformImageWin::scaled(int width, int height) const {
  auto copy = draw_scaled(*bitmap_, width, height);
  if (!copy) return nullptr;
  return std::make_shared<XPlatformImageWin>(std::move(copy));
}

std::unique_ptr<Gdiplus::Bitmap> draw_scaled(Gdiplus::Image& source, int width, int height) {
  if (width < 1 || height < 1) return nullptr;
  auto target = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (target->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics graphics(target.get());
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  if (graphics.DrawImage(&source, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
  return target;
}
