// The trace: a program file loaded in one piece for the preview and for autozero, with the Z levels
// and the extent of its cutting moves, and the point the operator clicked in the preview.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vireo {

// A coordinate or extreme that nothing has set yet.
inline constexpr double kTraceUnset = 999999999;
inline constexpr int kLevelSlots = 16;

struct TraceState {
  std::string file_name;
  std::string text;
  std::size_t length = 0;
  std::size_t cursor = 0;

  double z_min = kTraceUnset;
  double z_max = 0;
  // Distinct Z values other than the current minimum, newest first; older ones fall off the end.
  std::array<std::int32_t, kLevelSlots> levels{};
  // How many distinct Z values other than the minimum were found; may exceed the 16 slots.
  std::int32_t level_count = 0;

  double x_min = kTraceUnset, x_max = 0;
  double y_min = kTraceUnset, y_max = 0;
  double last_x = kTraceUnset, last_y = kTraceUnset;

  // The point last clicked in the plan view, in cent/mm, for the setup dialog's X/Y offsets.
  bool clicked = false;
  double clicked_x = 0;
  std::string clicked_y;
};

}  // namespace vireo
