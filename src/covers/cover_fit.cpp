#include "covers/cover_fit.h"

#include <algorithm>
#include <cmath>

namespace {
int at_least_one(double v) { return std::max(1, static_cast<int>(std::lround(v))); }
}  // namespace

double fit_factor(PictureSize picture, PictureSize box) {
  return std::min(static_cast<double>(box.height) / picture.height, static_cast<double>(box.width) / picture.width);
}

PictureSize exact_fit(PictureSize picture, PictureSize box) {
  const double f = fit_factor(picture, box);
  return {at_least_one(picture.width * f), at_least_one(picture.height * f)};
}

PictureSize approximate_fit(PictureSize picture, PictureSize box) {
  const double f = fit_factor(picture, box);
  if (f > 0.5) return picture;
  const double n = std::floor(1.0 / f);
  return {at_least_one(picture.width / n), at_least_one(picture.height / n)};
}

PictureSize aspect_fit(PictureSize picture, PictureSize box) {
  const double aspect = static_cast<double>(picture.width) / picture.height;
  if (aspect > static_cast<double>(box.width) / box.height) return {box.width, at_least_one(box.width / aspect)};
  return {at_least_one(box.height * aspect), box.height};
}
