// The G-code converter's moves: straight moves in 2D (through the geometry writers) and in 3D (move
// lines of their own), and arcs from a centre (I, J) or a radius (R).
#include <cmath>

#include "base/command_language.h"
#include "base/number_text.h"
#include "convert/emitters.h"
#include "convert/gcode_converter.h"
#include "convert/geometry_writers.h"
#include "convert/machine_value.h"

namespace vireo {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kDegrees = 180 / kPi;

// The direction of a vector in degrees: exact for the four axis directions, else the arc tangent,
// turned half round when it points to the left (so from -90 to 270).
double direction(double dx, double dy) {
  if (dx == 0) return dy > 0 ? 90 : dy < 0 ? 270 : 0;
  if (dy == 0) return dx > 0 ? 0 : 180;
  return std::atan(dy / dx) * kDegrees + (dx < 0 ? 180 : 0);
}

// The machine holds coordinates in 32 bits: a point beyond them, or an arc reaching beyond them,
// ends the conversion as an overflow.
void check_reach(double x, double y) {
  whole_hundredths(x, "X");
  whole_hundredths(y, "Y");
}

}  // namespace

GcodeConverter::Point GcodeConverter::target() const {
  return {position_.x.target(block_.x, relative_), position_.y.target(block_.y, relative_)};
}

// A block of coordinates without a G word continues the modal motion; an arc continues only in 2D.
void GcodeConverter::modal_move() {
  switch (motion_) {
    case Motion::rapid:
    case Motion::cut:
      straight_move(motion_);
      return;
    case Motion::arc_cw:
    case Motion::arc_ccw:
      if (!three_d_) arc(motion_ == Motion::arc_cw);
      return;
  }
}

void GcodeConverter::straight_move(Motion motion) {
  const Point to = target();
  if (three_d_) {
    straight_move_3d(motion, to);
  } else {
    straight_move_2d(motion, to);
  }
  position_ = to;
}

// 2D: the dwell first when the block has one, then the writers; Z plays no part.
void GcodeConverter::straight_move_2d(Motion motion, const Point& to) {
  if (block_.p.present) write_line(context_, dwell_line_);
  // A point with an axis no move has set yet cannot be reached: it is only remembered.
  if (!to.known()) return;
  check_reach(to.x.value, to.y.value);
  GeometryRegisters& g = state_.geometry;
  if (motion == Motion::rapid) {
    g.start_x = to.x.value;
    g.start_y = to.y.value;
    move_to_start(context_);
    return;
  }
  // After a tool change the tool stands at the changer: it goes back to the start of the cut first.
  if (g.last_x == kUnknownPosition && position_.known()) {
    g.start_x = position_.x.value;
    g.start_y = position_.y.value;
    move_to_start(context_);
  }
  g.end_x = to.x.value;
  g.end_y = to.y.value;
  cut_line(context_);
}

// 3D: spindle, feed, then one line with the axes the block names.
void GcodeConverter::straight_move_3d(Motion motion, const Point& to) {
  if (block_.s.present) write_line(context_, spindle_line(block_.s.value, codes_));
  write_feed_3d(motion);
  if (block_.p.present) write_line(context_, dwell_line_);
  // The line is put together in storage kept from block to block.
  std::string& line = move_line_;
  line.clear();
  const auto add = [&](char letter, double value) {
    line += letter;
    append_fw(line, whole_hundredths(value, std::string_view(&letter, 1)), digits_);
  };
  if (block_.x.present && to.x.known) add('X', to.x.value);
  if (block_.y.present && to.y.known) add('Y', to.y.value);
  if (block_.z.present) {
    double z = relative_ ? z_ + block_.z.step : block_.z.value;
    if (relative_ && units_.z_zero_negative && z < 0) z = 0;
    z_ = z;
    add('Z', z_);
  }
  const auto add_rotary = [&](char letter, const PlainWord& word, double steps_per_turn) {
    if (!word.present) return;
    line += letter;
    append_fw(line, rotary_steps(word.value, steps_per_turn), digits_);
  };
  add_rotary('A', block_.a, codes_.steps_a);
  add_rotary('B', block_.b, codes_.steps_b);
  add_rotary('C', block_.c, codes_.steps_c);
  line += cmd::kTerminator;
  ++context_.channel.line_counter;
  write_line(context_, line);
}

// The block's F word becomes the rapid or cutting feed; without one the current feed is written, or,
// for rotary axes, the feed code of each axis named.
void GcodeConverter::write_feed_3d(Motion motion) {
  std::string& current = motion == Motion::rapid ? rapid_feed_ : cutting_feed_;
  if (block_.f.present) {
    current = feed_line(block_, codes_, units_.inch);
    write_line(context_, current);
    return;
  }
  if (!block_.has_rotary()) {
    write_line(context_, current);
    return;
  }
  if (block_.a.present) write_line(context_, context_.derived.feed_a);
  if (block_.b.present) write_line(context_, context_.derived.feed_b);
  if (block_.c.present) write_line(context_, context_.derived.feed_c);
}

void GcodeConverter::arc(bool clockwise) {
  const Point to = target();
  const bool by_centre = block_.i.present || block_.j.present;
  if (!by_centre && !block_.r.present) return reject(" parametri I-J mancanti");
  if (by_centre && block_.r.present) return reject(" parametri IJ e R entrambe presenti");
  if (!position_.known() || !to.known()) {
    position_ = to;
    return;
  }
  const double sx = position_.x.value, sy = position_.y.value;
  const double ex = to.x.value, ey = to.y.value;
  check_reach(ex, ey);
  double cx = 0, cy = 0;
  arc_centre(clockwise, to, cx, cy);
  check_reach(cx, cy);
  whole_hundredths(std::hypot(sx - cx, sy - cy), "radius");
  if ((cx == ex && cy == ey) || (cx == sx && cy == sy)) return reject(" delta I-J nulli ");

  GeometryRegisters& g = state_.geometry;
  g.centre_x = cx;
  g.centre_y = cy;
  g.radius = std::hypot(sx - cx, sy - cy);
  g.start_angle = direction(sx - cx, sy - cy);
  g.end_angle = direction(ex - cx, ey - cy);
  // The same angle at both ends is a full circle in the direction asked for.
  if (g.start_angle == g.end_angle) (clockwise ? g.start_angle : g.end_angle) += 360;
  g.arc_step = static_cast<float>(arc_step_);

  if (three_d_) {
    // The arc runs at the current Z and feed: the writers neither lift nor plunge.
    std::string z_line = "Z";
    append_fw(z_line, whole_hundredths(z_, "Z"), digits_);
    state_.travel_z_line = z_line;
    state_.cutting_z_line = z_line;
    const std::string feed = block_.f.present ? feed_line(block_, codes_, units_.inch) : cutting_feed_;
    context_.settings.set_text(Slot::vel_rap, feed);
    state_.feed_setting = feed;
    cutting_feed_ = feed;
  }

  if (clockwise) {
    cut_arc_cw(context_);
  } else {
    cut_arc_ccw(context_);
  }
  // The chords end on the end angle; a point they do not reach as written is cut to.
  if (round_half_even(ex) != round_half_even(g.last_x) || round_half_even(ey) != round_half_even(g.last_y)) {
    g.end_x = ex;
    g.end_y = ey;
    cut_line(context_);
  }
  position_ = to;
}

// The centre from I and J (absolute, or relative to the start with `ij_mode`; a missing one is 0
// before the offset), or from the radius: on the right of the chord for a clockwise arc with R > 0,
// on the left for R < 0 (the longer arc), the other way round counter-clockwise.
void GcodeConverter::arc_centre(bool clockwise, const Point& to, double& cx, double& cy) {
  const double sx = position_.x.value, sy = position_.y.value;
  if (!block_.r.present) {
    const double i = block_.i.present ? block_.i.value : units_.centres_relative ? 0 : units_.x_offset;
    const double j = block_.j.present ? block_.j.value : units_.centres_relative ? 0 : units_.y_offset;
    cx = units_.centres_relative ? sx + i : i;
    cy = units_.centres_relative ? sy + j : j;
    return;
  }
  const double r = block_.r.value;
  if (r == 0) {
    // No direction to the centre: it is taken at the start, which rejects the block.
    cx = sx;
    cy = sy;
    return;
  }
  const double dx = to.x.value - sx, dy = to.y.value - sy;
  const double half = std::hypot(dx, dy) / 2;
  const double h = r * r < half * half ? 0 : std::sqrt(r * r - half * half);
  const double gamma = std::atan(h / half) * kDegrees;
  const double alpha = direction(dx, dy);
  const bool right = clockwise == (r > 0);
  const double theta = (right ? alpha - gamma : alpha + gamma) / kDegrees;
  cx = sx + std::fabs(r) * std::cos(theta);
  cy = sy + std::fabs(r) * std::sin(theta);
}

}  // namespace vireo
