// The position display's values: what the eight display digits show and the positions the encoder
// tracks. The device encoder writes it from every line it passes, the position feedback from the
// controller's replies; the position display window shows it.
#pragma once

#include <string>

namespace vireo {

// The display digits: X, Y, Z, feed, spindle, A, B, C.
namespace digit {
inline constexpr int kX = 1, kY = 2, kZ = 3, kFeed = 4, kSpindle = 5, kA = 6, kB = 7, kC = 8;
}

// A coordinate that is not known yet.
inline constexpr double kUnknownPosition = 999999999;

struct DisplayState {
  // Shown values. A value taken from a line or a reply is kept as the number its text stands for
  // (the move field "01234" is 1234), which is all anyone reads of it.
  double display_x = 0, display_y = 0, display_z = 0;
  double display_f = 0;  // feed code 00 to 99
  double display_s = 0;  // spindle code 00 to 12
  double display_a = 0, display_b = 0, display_c = 0;  // hundredths of a degree

  // Tracked positions: the display value, or the corrected value when coordinate correction is on.
  // The single-step commands count on these.
  double tracked_x = 0, tracked_y = 0, tracked_z = 0;
  double tracked_a = 0, tracked_b = 0, tracked_c = 0;  // corrected rotary values

  std::string step_token;  // the last two-letter step command, or the last corrected "zs" value
  // One-shot: the next Z move, respectively feed code, goes out even when it changes nothing.
  bool force_z = false, force_f = false;
  std::string pulse_state;  // last pulse command seen: "pb" or "pc"
  bool pa_pending = false;  // a vertex pulse "pa" went out as "pc": the next "pc" is dropped

  // The position display window shows its expanded layout; windows placed beside it are narrower.
  bool expanded = false;
  // The digits' colour index, 0 to 6, from the setting `colore_display`.
  int colour = 0;

  bool operator==(const DisplayState&) const = default;
};

}  // namespace vireo
