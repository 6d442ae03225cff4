#include "preview/raster.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "settings/text_file.h"

namespace vireo {
namespace {

// Cuts the segment to the rectangle [lo, hi] on both axes (Liang-Barsky). False when nothing is left.
bool clip(double& x0, double& y0, double& x1, double& y1, double lo_x, double lo_y, double hi_x, double hi_y) {
  const double dx = x1 - x0, dy = y1 - y0;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - lo_x, hi_x - x0, y0 - lo_y, hi_y - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const double sx = x0, sy = y0;
  x0 = sx + t0 * dx;
  y0 = sy + t0 * dy;
  x1 = sx + t1 * dx;
  y1 = sy + t1 * dy;
  return true;
}

void put_u32(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v >> 24);
  out += static_cast<char>(v >> 16);
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v);
}

void put_chunk(std::string& out, const char* type, const std::string& data) {
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.append(type, 4);
  out += data;
  const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + start);
  put_u32(out, static_cast<std::uint32_t>(crc32(0L, bytes, static_cast<uInt>(out.size() - start))));
}

}  // namespace

Raster::Raster(int width, int height, Rgb background)
    : width_(std::clamp(width, 0, kMaxRasterSide)), height_(std::clamp(height, 0, kMaxRasterSide)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3) {
  fill(background);
}

Rgb Raster::pixel(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
  return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
}

void Raster::fill(Rgb colour) {
  for (std::size_t i = 0; i < pixels_.size(); i += 3) {
    pixels_[i] = colour.r;
    pixels_[i + 1] = colour.g;
    pixels_[i + 2] = colour.b;
  }
}

void Raster::plot(int x, int y, int pen, Rgb colour) {
  const int half = (pen - 1) / 2;
  const int x_from = std::max(x - half, 0), x_to = std::min(x - half + pen, width_);
  const int y_from = std::max(y - half, 0), y_to = std::min(y - half + pen, height_);
  for (int py = y_from; py < y_to; ++py) {
    std::uint8_t* p = pixels_.data() + (static_cast<std::size_t>(py) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x_from)) * 3;
    for (int px = x_from; px < x_to; ++px, p += 3) {
      p[0] = colour.r;
      p[1] = colour.g;
      p[2] = colour.b;
    }
  }
}

void Raster::draw_line(double x0, double y0, double x1, double y1, int pen, Rgb colour) {
  if (width_ == 0 || height_ == 0) return;
  pen = std::max(pen, 1);
  // Coordinates can be far outside (a point a billion units away); cut first, then step in pixels.
  const double margin = pen;
  if (!clip(x0, y0, x1, y1, -margin, -margin, width_ - 1 + margin, height_ - 1 + margin)) return;
  int x = static_cast<int>(std::lround(x0)), y = static_cast<int>(std::lround(y0));
  const int xe = static_cast<int>(std::lround(x1)), ye = static_cast<int>(std::lround(y1));
  const int dx = std::abs(xe - x), dy = -std::abs(ye - y);
  const int step_x = x < xe ? 1 : -1, step_y = y < ye ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    plot(x, y, pen, colour);
    if (x == xe && y == ye) return;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += step_x;
    }
    if (twice <= dx) {
      error += dx;
      y += step_y;
    }
  }
}

std::string png_bytes(const Raster& raster) {
  const std::size_t row = static_cast<std::size_t>(raster.width()) * 3;
  std::string filtered;
  filtered.reserve((row + 1) * static_cast<std::size_t>(raster.height()));
  const auto* data = reinterpret_cast<const char*>(raster.pixels().data());
  for (int y = 0; y < raster.height(); ++y) {
    filtered += '\0';  // filter type "none"
    filtered.append(data + static_cast<std::size_t>(y) * row, row);
  }
  uLongf packed_size = compressBound(static_cast<uLong>(filtered.size()));
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size, reinterpret_cast<const Bytef*>(filtered.data()),
                static_cast<uLong>(filtered.size()), 6) != Z_OK)
    return {};
  packed.resize(packed_size);

  std::string header;
  put_u32(header, static_cast<std::uint32_t>(raster.width()));
  put_u32(header, static_cast<std::uint32_t>(raster.height()));
  header += '\x08';  // bit depth
  header += '\x02';  // colour type RGB
  header += std::string(3, '\0');  // compression, filter, interlace
  std::string out = "\x89PNG\r\n\x1a\n";
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", packed);
  put_chunk(out, "IEND", {});
  return out;
}

std::string write_png(const Raster& raster, const std::string& path) {
  const std::string bytes = png_bytes(raster);
  if (bytes.empty()) return path + ": the picture cannot be compressed";
  return write_file_atomically(path, bytes);
}

}  // namespace vireo
