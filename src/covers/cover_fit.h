// The sizes a cover is scaled to, apart from the imaging calls.
#pragma once

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

// A box with a side below 1 is no box: the picture keeps its size.
inline bool is_box(PictureSize box) { return box.width >= 1 && box.height >= 1; }

// The factor that fits `picture` into `box`: min(box h / h, box w / w).
double fit_factor(PictureSize picture, PictureSize box);

// round(w x f) by round(h x f), at least one pixel each way. One side
// equals the box; smaller pictures are enlarged.
PictureSize exact_fit(PictureSize picture, PictureSize box);

// The cheap reduction of an approximate request: by the whole divisor
// n = floor(1 / f) when f <= 0.5; otherwise the picture stays as it is.
PictureSize approximate_fit(PictureSize picture, PictureSize box);

// The fallback decoder's fit: box width by round(box width / aspect) when
// the picture is relatively wider than the box, else round(box height x
// aspect) by box height; at least one pixel each way.
PictureSize aspect_fit(PictureSize picture, PictureSize box);
