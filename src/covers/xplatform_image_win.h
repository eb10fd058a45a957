// XPlatformImageWin: the one kind of cover picture, a GDI+ bitmap.
#pragma once
#include <windows.h>
// GDI+ needs the COM declarations that a lean <windows.h> leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "covers/xplatform_image.h"

class XPlatformImageWin : public XPlatformImage {
 public:
  explicit XPlatformImageWin(std::unique_ptr<Gdiplus::Bitmap> bitmap) : bitmap_(std::move(bitmap)) {}
  int width() const override;
  int height() const override;
  std::shared_ptr<const XPlatformImage> scaled(int width, int height) const override;
  // For drawing. The picture stays unchanged.
  Gdiplus::Bitmap* bitmap() const { return bitmap_.get(); }

 private:
  std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

// Starts GDI+ once per process; false when it cannot be started.
bool gdiplus_ready();

// `source` drawn with high-quality interpolation into a new 32-bit ARGB
// bitmap of the given size; none when that fails.
std::unique_ptr<Gdiplus::Bitmap> draw_scaled(Gdiplus::Image& source, int width, int height);
