// The words of a G-code block and how their numbers become machine values: lengths in hundredths of
// a millimetre on the machine's axes (Z growing downwards), and the feed, spindle, dwell and rotary
// codes of the command language.
#pragma once

#include <string>

namespace vireo {

struct NumberRead;

// A length word as read: `value` is the machine value an absolute word stands for (offsets and the
// surface level applied), `step` the same length as an increment from the current position.
struct LengthWord {
  bool present = false;
  double value = 0;
  double step = 0;
};

// A word kept as the number written in the source.
struct PlainWord {
  bool present = false;
  double value = 0;
  bool has_point = false;
};

// One block: the words from a letter to the end of its line.
struct Block {
  LengthWord x, y, z, i, j, k, r, q;
  PlainWord p, f, s, a, b, c;

  bool has_rotary() const { return a.present || b.present || c.present; }
};

// The settings and the unit through which the converter reads lengths.
struct GcodeUnits {
  double scale = 1;              // `scala_gc`, × 25.4 in inch
  bool inch = false;
  bool decimal_always = false;   // `ch_virgola`: a number without a point is not in ten-thousandths
  bool centres_relative = false; // `ij_mode`
  bool z_inverted = false;       // `zinvert_gc`
  bool z_zero_negative = false;  // `zeroneg_gcode`
  double x_offset = 0, y_offset = 0, surface = 0;  // `x_gc`, `y_gc`, `z_gc`
};

// A length in hundredths: × 100 with a decimal point (or `ch_virgola`), else ÷ 100.
double gcode_length(const GcodeUnits& units, const NumberRead& n);

// The machine Z of a G-code height: the surface level minus it (plus it when Z is inverted), held at
// 0 from below with `zeroneg_gcode`.
double machine_z(const GcodeUnits& units, double height);

// Stores the number read after `letter` in its word. Letters without a word, and words without
// digits, are not kept.
void store_word(Block& block, char letter, const NumberRead& n, const GcodeUnits& units);

// The settings behind the codes.
struct CodeSettings {
  double max_feed = 45;       // last two digits of `maxv_gc`
  double spindle_factor = 20; // `molt_gc`
  double steps_a = 2800, steps_b = 2800, steps_c = 2800;  // `Step_giro_A/B/C`
};

// "F" and two digits for the block's F word: mm/min ÷ 60 (inch/min × 0.423), or with a rotary word
// Int(F × `Step_giro_A` / 2160000); held to `maxv_gc` and 90; 91 to 99 stand for feeds below 1; "F00"
// becomes "F91".
std::string feed_line(const Block& block, const CodeSettings& codes, bool inch);

// "S" and two digits: Int(S × `molt_gc` / 1000) held to 1…12.
std::string spindle_line(double s, const CodeSettings& codes);

// "T" and five digits of milliseconds: P with a point is in seconds.
std::string dwell_line(const PlainWord& p);

// The steps of a rotary word: Int(angle × steps per turn / 360), turned back by whole turns while
// above 65535.
double rotary_steps(double angle, double steps_per_turn);

}  // namespace vireo
