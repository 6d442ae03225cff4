// An RGB picture in memory that the plan view is drawn into: the preview window shows it and the
// command line writes it as PNG, so both show the same drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/text_view.h"

namespace vireo {

// The largest side of a picture: 8192 x 8192 pixels already take 192 MB.
inline constexpr int kMaxRasterSide = 8192;

class Raster {
 public:
  // Sides are taken between 0 and kMaxRasterSide.
  Raster(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  // Rows top to bottom, three bytes (R, G, B) a pixel.
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  Rgb pixel(int x, int y) const;

  void fill(Rgb colour);
  // A line between two pixel positions (any values; the part outside the picture is cut off), drawn
  // with a square pen `pen` pixels wide.
  void draw_line(double x0, double y0, double x1, double y1, int pen, Rgb colour);

 private:
  void plot(int x, int y, int pen, Rgb colour);

  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

// The picture as a PNG file (8-bit RGB), written whole or not at all. Returns an error text, empty on
// success.
std::string write_png(const Raster& raster, const std::string& path);
// The PNG bytes of the picture; empty when it could not be compressed.
std::string png_bytes(const Raster& raster);

}  // namespace vireo
