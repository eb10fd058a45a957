// XPlatformImage: a decoded cover picture, shared by reference between the
// album record, the album list and the progress dialog, and never changed
// once made.
#pragma once
#include <memory>

class XPlatformImage {
 public:
  virtual ~XPlatformImage() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  // A copy scaled to exactly this size; none when it cannot be made.
  virtual std::shared_ptr<const XPlatformImage> scaled(int width, int height) const = 0;
};
