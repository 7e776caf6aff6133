#pragma once
// The user scale of a drawing surface: from user coordinates to pixel
// coordinates, where 0.0 is the centre of the first pixel column or row.
//
// The left bound maps to the centre of the first column and the right bound to
// the centre of the last, the top bound to the centre of the first row and the
// bottom bound to the centre of the last, so lines drawn at the bounds show as
// the outermost pixels. With top greater than bottom, y grows upward. An inset
// moves both bounds that many pixels inwards (the vector files use it for their
// finer grid of cells).

namespace vesk {

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(PixelSize, PixelSize) = default;
};

class Mapping {
 public:
  Mapping() = default;
  Mapping(double left, double top, double right, double bottom, PixelSize pixels, double inset = 0.0)
      : left_(left), top_(top), right_(right), bottom_(bottom), pixels_(pixels), inset_(inset) {}

  // One division, last: a coordinate exactly half-way between pixel centres comes out exactly so (a division
  // first rounds 8.75 / 17 · 578 to a double below 297.5, and the point lands a pixel short).
  double to_pixel_x(double x) const { return inset_ + (x - left_) * (pixels_.width - 1 - 2 * inset_) / (right_ - left_); }
  double to_pixel_y(double y) const { return inset_ + (top_ - y) * (pixels_.height - 1 - 2 * inset_) / (top_ - bottom_); }
  // The inverse, for the pointer.
  double to_user_x(double px) const { return left_ + (px - inset_) / (pixels_.width - 1 - 2 * inset_) * (right_ - left_); }
  double to_user_y(double py) const { return top_ - (py - inset_) / (pixels_.height - 1 - 2 * inset_) * (top_ - bottom_); }

  PixelSize pixels() const { return pixels_; }

 private:
  double left_ = 0.0;
  double top_ = 0.0;
  double right_ = 1.0;
  double bottom_ = 1.0;
  PixelSize pixels_;
  double inset_ = 0.0;
};

}  // namespace vesk
