#pragma once
// The user scale of the drawing surface, from user coordinates to pixel
// coordinates of the image.
//
// The left bound maps to the centre of the first pixel column (pixel x 0.0) and
// the right bound to the centre of the last (pixel x width − 1); likewise the top
// bound to the centre of the first row and the bottom bound to the centre of the
// last. So lines drawn at the bounds show as the outermost pixels. With top
// greater than bottom, y grows upward.

namespace vesk {

struct PixelSize {
  int width = 0;
  int height = 0;
};

class Mapping {
 public:
  Mapping() = default;
  Mapping(double left, double top, double right, double bottom, PixelSize pixels)
      : left_(left), top_(top), right_(right), bottom_(bottom), pixels_(pixels) {}

  // Pixel coordinates; 0.0 is the centre of the first column or row.
  double to_pixel_x(double x) const { return (x - left_) / (right_ - left_) * (pixels_.width - 1); }
  double to_pixel_y(double y) const { return (top_ - y) / (top_ - bottom_) * (pixels_.height - 1); }

  double left() const { return left_; }
  double top() const { return top_; }
  double right() const { return right_; }
  double bottom() const { return bottom_; }
  PixelSize pixels() const { return pixels_; }

 private:
  double left_ = 0.0;
  double top_ = 0.0;
  double right_ = 1.0;
  double bottom_ = 1.0;
  PixelSize pixels_;
};

}  // namespace vesk
