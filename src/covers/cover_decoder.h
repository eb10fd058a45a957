// decode_cover: an album's stored cover picture (JPEG, PNG or any format the
// platform's imaging component reads) turned into a bitmap that fits a box.
// The imaging component is the primary path; GDI+ decodes what it cannot.
#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "covers/cover_fit.h"
#include "covers/xplatform_image.h"

struct CoverRequest {
  // A side below 1 means no box: the decoded size is kept.
  PictureSize box;
  // Only a cheap reduction by a whole divisor, no exact fit.
  bool approximate = false;
  // Leave the picture as stored instead of standing it upright.
  bool keep_orientation = false;
  // Filled when given: the orientation code found (1 for none) and the
  // stored size.
  int* orientation = nullptr;
  PictureSize* stored_size = nullptr;
};

// None for bytes that are no picture, an empty or too large buffer (over
// 32 bits of length), a zero-sized picture or a failed allocation. Never
// throws and reports nothing.
std::shared_ptr<const XPlatformImage> decode_cover(std::span<const std::uint8_t> bytes, const CoverRequest& request);

// The grouping's request: a square box of `edge`, upright, exact.
std::shared_ptr<const XPlatformImage> decode_cover_thumbnail(std::span<const std::uint8_t> bytes, int edge);

// The fallback path alone: GDI+ decodes the bytes and, for a box, draws
// them fitted by aspect ratio. The orientation tag is not applied.
std::shared_ptr<const XPlatformImage> decode_cover_gdiplus(std::span<const std::uint8_t> bytes, PictureSize box);
