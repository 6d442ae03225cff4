// The geometry registers the converters share: where the tool stands after the last element.
#pragma once

#include <iosfwd>

#include "core/display_state.h"

namespace vireo {

struct GeometryRegisters {
  // The last position: X as a double, Y in single precision. Unknown at every pass start, so that
  // the first element always positions.
  double last_x = kUnknownPosition;
  float last_y = 1000000000.0f;

  void forget_position() {
    last_x = kUnknownPosition;
    last_y = 1000000000.0f;
  }
  bool operator==(const GeometryRegisters&) const = default;
};

std::ostream& operator<<(std::ostream& out, const GeometryRegisters& geometry);

}  // namespace vireo
