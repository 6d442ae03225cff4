#include "preview/view3d.h"

#include <algorithm>
#include <cmath>

namespace vireo {
namespace {

constexpr double kRadiansPerPixel = 0.01;
constexpr double kZoomPerPixel = 0.01;
constexpr double kMinZoom = 0.05, kMaxZoom = 50;
constexpr double kMaxPitch = 1.5;
constexpr double kFillShare = 0.9;  // of the smaller side that the fitted model takes

}  // namespace

void View3d::drag(double dx, double dy) {
  switch (mode_) {
    case TrackMode::zoom:
      zoom_ = std::clamp(zoom_ * std::exp(-dy * kZoomPerPixel), kMinZoom, kMaxZoom);
      break;
    case TrackMode::rotate:
      yaw_ += dx * kRadiansPerPixel;
      pitch_ = std::clamp(pitch_ + dy * kRadiansPerPixel, -kMaxPitch, kMaxPitch);
      break;
    case TrackMode::pan:
      pan_x_ += dx;
      pan_y_ += dy;
      break;
  }
}

void View3d::reset() {
  const TrackMode mode = mode_;
  *this = View3d();
  mode_ = mode;
}

std::vector<ScreenPoint> View3d::project(const std::vector<Point3>& points, int width, int height) const {
  std::vector<ScreenPoint> screen;
  if (points.empty()) return screen;
  Point3 low = points.front(), high = points.front();
  for (const Point3& p : points) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  const Point3 centre{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
  const double diagonal = std::hypot(high.x - low.x, high.y - low.y, high.z - low.z);
  const double fit = kFillShare * std::min(width, height) / (diagonal > 0 ? diagonal : 1);
  const double factor = fit * zoom_;
  const double cy = std::cos(yaw_), sy = std::sin(yaw_), cp = std::cos(pitch_), sp = std::sin(pitch_);
  screen.reserve(points.size());
  for (const Point3& p : points) {
    const double x = p.x - centre.x, y = p.y - centre.y, up = -(p.z - centre.z);
    // Turn about the vertical, then tilt towards the viewer.
    const double across = x * cy - y * sy;
    const double depth = x * sy + y * cy;
    const double vertical = up * cp + depth * sp;
    screen.push_back({width / 2.0 + pan_x_ + across * factor, height / 2.0 + pan_y_ - vertical * factor});
  }
  return screen;
}

}  // namespace vireo
