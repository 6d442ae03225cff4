// The G-code converter's state and steps, shared by its source files: the token loop and the M and G
// tables (gcode.cpp), the moves and arcs (gcode_moves.cpp) and the drilling cycles (gcode_drill.cpp).
#pragma once

#include <string>
#include <string_view>

#include "convert/gcode_words.h"
#include "convert/source_reader.h"
#include "core/context.h"

namespace vireo {

class GcodeConverter {
 public:
  explicit GcodeConverter(Context& context);
  void run();

 private:
  enum class Motion { rapid, cut, arc_cw, arc_ccw };

  // One coordinate of the machine position, unknown until a move sets it.
  struct Axis {
    double value = 0;
    bool known = false;
    // Where an absolute or incremental word takes the axis; an absent word keeps it.
    Axis target(const LengthWord& word, bool relative) const {
      if (!word.present) return *this;
      if (relative) return {value + word.step, known};
      return {word.value, true};
    }
  };
  struct Point {
    Axis x, y;
    bool known() const { return x.known && y.known; }
  };

  // gcode.cpp: the passes, the tokens, the tables.
  void start_pass();
  bool convert_pass();  // false when the run was stopped
  void token(TokenReader& reader, char c);
  void m_code(TokenReader& reader, double m);
  void g_code(TokenReader& reader, double g);
  void tool_change_to(double tool);
  char next_char(TokenReader& reader);
  bool read_on_to(TokenReader& reader, char letter);
  NumberRead number(TokenReader& reader);
  void skip_line(TokenReader& reader);
  void parse(TokenReader& reader, char first);
  void reject(std::string_view message);

  // gcode_moves.cpp
  Point target() const;
  void modal_move();
  void straight_move(Motion motion);
  void straight_move_2d(Motion motion, const Point& to);
  void straight_move_3d(Motion motion, const Point& to);
  void arc(bool clockwise);
  void arc_centre(bool clockwise, const Point& to, double& cx, double& cy);
  void write_feed_3d(Motion motion);

  // gcode_drill.cpp
  void drilling_cycle();
  void pecks(double r_level, double bottom, double peck);

  Context& context_;
  ConversionState& state_;
  const bool three_d_;
  const int digits_;
  GcodeUnits units_;
  const CodeSettings codes_;
  const double arc_step_;

  // Set once per conversion.
  std::string rapid_feed_;
  std::string cutting_feed_;
  bool return_to_r_level_ = false;  // G99; G98 (and no word) return to the initial level

  // Modal state of a pass.
  Motion motion_ = Motion::rapid;
  bool relative_ = false;
  Point position_;
  double z_ = 0;
  std::string dwell_line_;

  Block block_;
  std::string move_line_;  // a 3D move's line
  bool line_ended_ = false;  // the last number read ended its line
};

}  // namespace vireo
