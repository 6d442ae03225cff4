#include "convert/gcode_words.h"

#include <algorithm>
#include <cmath>

#include "base/number_text.h"
#include "convert/machine_value.h"
#include "convert/source_reader.h"

namespace vireo {
namespace {

constexpr double kMaxRotarySteps = 65535;
constexpr double kHighestFeed = 90;

void keep(LengthWord& word, double value, double step) { word = {true, value, step}; }

}  // namespace

double gcode_length(const GcodeUnits& units, const NumberRead& n) {
  return n.has_point || units.decimal_always ? units.scale * n.value * 100 : units.scale * n.value / 100;
}

double machine_z(const GcodeUnits& units, double height) {
  const double z = units.z_inverted ? units.surface + height : units.surface - height;
  return units.z_zero_negative && z < 0 ? 0 : z;
}

void store_word(Block& block, char letter, const NumberRead& n, const GcodeUnits& units) {
  if (!n.has_digits) return;
  const double length = gcode_length(units, n);
  // Centres are absolute points unless `ij_mode` makes them relative to the start of the arc.
  const bool absolute_centre = !units.centres_relative;
  const PlainWord plain{true, n.value, n.has_point};
  switch (letter) {
    case 'X': keep(block.x, length + units.x_offset, length); return;
    case 'Y': keep(block.y, length + units.y_offset, length); return;
    case 'Z': keep(block.z, machine_z(units, length), units.z_inverted ? length : -length); return;
    case 'I': keep(block.i, length + (absolute_centre ? units.x_offset : 0), length); return;
    case 'J': keep(block.j, length + (absolute_centre ? units.y_offset : 0), length); return;
    case 'K': keep(block.k, length + (absolute_centre ? units.surface : 0), length); return;
    case 'R': keep(block.r, length, length); return;
    case 'Q': keep(block.q, length, length); return;
    case 'P': block.p = plain; return;
    case 'F': block.f = plain; return;
    case 'S': block.s = plain; return;
    case 'A': block.a = plain; return;
    case 'B': block.b = plain; return;
    case 'C': block.c = plain; return;
    default: return;
  }
}

std::string feed_line(const Block& block, const CodeSettings& codes, bool inch) {
  const double f = block.f.value;
  double code = 0;
  if (block.has_rotary()) {
    code = static_cast<double>(int_part(f * codes.steps_a / 2160000));
  } else {
    code = inch ? f * 0.423 : f / 60;
  }
  code = std::min(code, codes.max_feed);
  code = std::min(code, kHighestFeed);
  if (code >= 0.1 && code < 1) code = 90 + 10 * code;
  if (!(code >= 0.1)) code = 91;  // also a feed that is not a number
  const std::string line = "F" + two_digits(static_cast<double>(int_part(code)));
  return line == "F00" ? "F91" : line;
}

std::string spindle_line(double s, const CodeSettings& codes) {
  const double code = std::clamp(static_cast<double>(int_part(s * codes.spindle_factor / 1000)), 1.0, 12.0);
  return "S" + two_digits(code);
}

std::string dwell_line(const PlainWord& p) {
  const double ms = p.has_point ? static_cast<double>(int_part(p.value * 1000)) : p.value;
  const std::string text = "00000" + number_text(ms);
  return "T" + text.substr(text.size() - 5);
}

double rotary_steps(double angle, double steps_per_turn) {
  const auto steps_after = [&](double turns) {
    return static_cast<double>(int_part((angle - 360 * turns) * steps_per_turn / 360));
  };
  double steps = steps_after(0);
  // Each turn taken off lowers the steps by a whole turn's worth only when the steps per turn are
  // positive; the number of turns is worked out at once rather than one turn at a time, and at most
  // a few corrections follow for rounding.
  if (!(steps > kMaxRotarySteps) || !(steps_per_turn > 0)) return steps;
  double turns = std::max(1.0, std::floor((angle * steps_per_turn / 360 - (kMaxRotarySteps + 1)) / steps_per_turn) + 1);
  for (int i = 0; i < 4 && turns > 1 && steps_after(turns - 1) <= kMaxRotarySteps; ++i) --turns;
  for (int i = 0; i < 4 && steps_after(turns) > kMaxRotarySteps; ++i) ++turns;
  steps = steps_after(turns);
  // An angle too large for whole turns to be told apart from it: its place within one turn.
  if (!(steps <= kMaxRotarySteps && steps >= kMaxRotarySteps - steps_per_turn)) steps = static_cast<double>(int_part(std::fmod(angle, 360) * steps_per_turn / 360));
  return steps;
}

}  // namespace vireo
