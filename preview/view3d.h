// The 3D view of the trace: the points of every command, in mm, seen from a direction the operator
// turns with the mouse. The three track modes (zoom, rotate, pan) decide what a mouse drag does.
#pragma once

#include <vector>

#include "preview/plan.h"

namespace vireo {

enum class TrackMode { zoom = 1, rotate = 2, pan = 3 };

struct ScreenPoint {
  double x = 0, y = 0;
};

class View3d {
 public:
  TrackMode mode() const { return mode_; }
  void set_mode(TrackMode mode) { mode_ = mode; }
  // A mouse drag by (dx, dy) pixels: zooms (up enlarges), turns, or moves the picture.
  void drag(double dx, double dy);
  void reset();

  double zoom() const { return zoom_; }
  double yaw() const { return yaw_; }
  double pitch() const { return pitch_; }

  // Projects the points into a picture of width × height pixels: the points' bounding box is centred
  // and fitted into the picture, then turned, zoomed and moved. The machine's Z grows downwards, so a
  // deeper point is drawn lower.
  std::vector<ScreenPoint> project(const std::vector<Point3>& points, int width, int height) const;

 private:
  TrackMode mode_ = TrackMode::rotate;
  double yaw_ = -0.6;    // radians about the vertical axis
  double pitch_ = 0.5;   // radians of looking down
  double zoom_ = 1;
  double pan_x_ = 0, pan_y_ = 0;  // pixels
};

}  // namespace vireo
