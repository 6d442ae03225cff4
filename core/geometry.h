// The geometry registers the converters share: the element to cut next (a line's start and end, an
// arc's centre, radius and angles), where the tool stands after the last element, and the direction
// of the tangential knife. The geometry writers (convert/geometry_writers.h) read and update them.
#pragma once

#include <iosfwd>

#include "core/display_state.h"

namespace vireo {

struct GeometryRegisters {
  // Hundredths of a millimetre.
  double start_x = 0, start_y = 0;  // start of the next element; move_to_start goes there
  double end_x = 0, end_y = 0;      // end of a line
  double centre_x = 0, centre_y = 0, radius = 0;
  // Degrees, counter-clockwise from the +X axis.
  double start_angle = 0, end_angle = 0;
  float arc_step = 5;  // degrees per chord

  // The last position: X as a double, Y in single precision. Unknown at every pass start, so that
  // the first element always positions.
  double last_x = kUnknownPosition;
  float last_y = 1000000000.0f;

  // The tangential knife (C axis): the direction of the last cut, in degrees.
  double c_angle = 0;
  float last_c_angle = 0;

  // The machine has moved somewhere the registers do not know (a pass starts, a tool was changed):
  // the next element lifts and positions.
  void forget_position() {
    last_x = kUnknownPosition;
    last_y = 1000000000.0f;
  }
  bool operator==(const GeometryRegisters&) const = default;
};

std::ostream& operator<<(std::ostream& out, const GeometryRegisters& geometry);

}  // namespace vireo
