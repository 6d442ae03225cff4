#include "convert/geometry_writers.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/command_language.h"
#include "base/number_text.h"
#include "convert/emitters.h"
#include "core/context.h"

namespace vireo {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr std::string_view kPositioning = "         ";
constexpr std::string_view kLine = "  LINE   ";
constexpr std::string_view kOverTurn = " angolo > 360????";
// More chords than this (a full turn in steps of 0.01 degrees, or an angle read as a sweep of
// thousands of turns) is no drawing anybody means: the arc is refused with an error instead of
// writing lines for minutes.
constexpr double kMaxChords = 36000;
constexpr std::string_view kBadArc = " arco invalido ";

double to_radians(double degrees) { return degrees * kPi / 180; }
double to_degrees(double radians) { return radians * 180 / kPi; }
double round_2_decimals(double value) { return static_cast<double>(round_half_even(value * 100)) / 100; }

// A coordinate as the machine gets it: whole hundredths, halves to the even neighbour.
long long written(double value) { return round_half_even(value); }

// Two positions are the same when they are written the same: a joint at a Y held in single precision
// on one side and in double on the other is no move.
bool same_position(double x, double y, const GeometryRegisters& g) {
  return written(x) == written(g.last_x) && written(y) == written(static_cast<double>(g.last_y));
}

void set_last_position(GeometryRegisters& g, double x, double y) {
  g.last_x = x;
  g.last_y = static_cast<float>(y);
}

// An axis letter and its field of whole hundredths.
AxisField axis(char letter, double value, const Context& context) {
  return AxisField(letter, static_cast<double>(written(value)), context.derived.digits);
}

void glue_if_down(Context& context) {
  if (context.display.pulse_state != cmd::kGlue) write_line(context, context.derived.glue);
}

// Tool up to the travel Z; `rapid` adds the rapid feed for the positioning that follows.
void lift(Context& context, bool rapid) {
  glue_if_down(context);
  write_line(context, context.settings.text(Slot::vel_rit), context.conversion.travel_z_line, "*");
  if (rapid) write_line(context, context.settings.text(Slot::vel_rap));
}

// Tool down to the cutting Z with the plunge feed, then the cutting feed.
void plunge(Context& context) {
  const ConversionState& state = context.conversion;
  write_line(context, state.plunge_feed_line, state.cutting_z_line, "*");
  write_line(context, state.feed_setting);
  if (context.display.pulse_state != cmd::kBull) write_line(context, context.derived.bull);
}

// Turns the knife on the C axis to the direction of the line about to be cut, lifting the blade
// first when the turn is at least `Gradi_lama_C`. A line the machine cannot tell from a point keeps
// the knife as it is.
void turn_knife(Context& context) {
  GeometryRegisters& g = context.conversion.geometry;
  if (same_position(g.end_x, g.end_y, g)) return;
  const SettingsRecord& settings = context.settings;
  double direction = direction_degrees(g.end_x - g.last_x, g.end_y - static_cast<double>(g.last_y));
  if (direction >= 360) context.host->message_box(kOverTurn);
  direction = round_2_decimals(direction);
  const double steps = static_cast<double>(round_half_even(direction * (settings.number(Slot::Step_giro_C) / 360)));
  if (round_2_decimals(std::fabs(direction - static_cast<double>(g.last_c_angle))) >= settings.number(Slot::Gradi_lama_C))
    lift(context, false);
  std::string line = context.derived.feed_c + "C";
  append_fw(line, steps, context.derived.digits);
  write_line(context, line);
  g.c_angle = direction;
  g.last_c_angle = static_cast<float>(direction);
}

// The arc of the registers, from the start angle towards the end angle in steps of `direction`
// sign; the angles are already ordered so that the sweep has that sign.
void cut_arc(Context& context, std::string_view operation, bool clockwise) {
  GeometryRegisters& g = context.conversion.geometry;
  ChannelState& channel = context.channel;
  const double sweep = g.end_angle - g.start_angle;
  double chords = std::fabs(static_cast<double>(int_part(sweep / static_cast<double>(g.arc_step))));
  if (chords < 1) chords = 1;
  if (!std::isfinite(sweep) || chords > kMaxChords) {
    channel.error_text = kBadArc;
    ++channel.error_count;
    return;
  }
  g.arc_step = static_cast<float>(sweep / chords);
  const double step = g.arc_step;
  ++channel.line_counter;
  // The text is put together in the kept string, whose storage is reused from arc to arc.
  std::string& shown = channel.operation_text;
  shown.assign(operation);
  shown += number_text(sweep);
  shown += ' ';

  const auto inside = [&](double a) { return clockwise ? a >= g.end_angle : a <= g.end_angle; };
  const auto beyond = [&](double a) { return clockwise ? a < g.end_angle : a > g.end_angle; };
  // At most every chord end, the start and the end point once more.
  const long long most_points = static_cast<long long>(chords) + 2;
  bool end_corrected = false;
  long long point = 0;
  for (double a = g.start_angle; inside(a) && point < most_points; a += step, ++point) {
    const double radians = to_radians(a);
    g.start_x = g.centre_x + g.radius * std::cos(radians);
    g.start_y = g.centre_y + g.radius * std::sin(radians);
    if (point == 0 && !same_position(g.start_x, g.start_y, g)) lift(context, true);
    if (point == 1) plunge(context);
    write_line(context, axis('X', g.start_x, context).text());
    if (point == 0) write_line(context, "*");
    write_line(context, axis('Y', g.start_y, context).text(), "*", context.derived.vertex);
    set_last_position(g, g.start_x, g.start_y);
    // The last chord ends exactly on the end angle; when the steps land there already, the end point
    // comes round a second time.
    if (!end_corrected && beyond(a + step)) {
      a = g.end_angle - step;
      end_corrected = true;
    } else if (a + step == a) {
      break;  // a start angle so large that the step no longer moves it
    }
  }
}

}  // namespace

void move_to_start(Context& context) {
  GeometryRegisters& g = context.conversion.geometry;
  show_operation(context, kPositioning);
  if (same_position(g.start_x, g.start_y, g)) return;
  lift(context, true);
  write_line(context, axis('X', g.start_x, context).text(), "*");
  write_line(context, axis('Y', g.start_y, context).text(), "*");
  set_last_position(g, g.start_x, g.start_y);
}

void cut_line(Context& context) {
  GeometryRegisters& g = context.conversion.geometry;
  ++context.channel.line_counter;
  show_operation(context, kLine);
  if (context.settings.on(Slot::Ena_tang_C)) turn_knife(context);
  plunge(context);
  write_line(context, axis('X', g.end_x, context).text());
  write_line(context, axis('Y', g.end_y, context).text(), "*", context.derived.vertex);
  set_last_position(g, g.end_x, g.end_y);
}

void cut_arc_ccw(Context& context) {
  GeometryRegisters& g = context.conversion.geometry;
  if (g.end_angle == g.start_angle) return;
  if (g.start_angle > g.end_angle) g.end_angle += 360;
  cut_arc(context, " ARC-CCW ", false);
}

void cut_arc_cw(Context& context) {
  GeometryRegisters& g = context.conversion.geometry;
  if (g.end_angle == g.start_angle) return;
  if (g.start_angle < g.end_angle) g.start_angle += 360;
  cut_arc(context, " ARC-CW ", true);
}

double direction_degrees(double dx, double dy) {
  if (dx == 0) return dy > 0 ? 90 : 270;
  if (dy == 0) return dx > 0 ? 0 : 180;
  double direction = to_degrees(std::atan(dy / dx));
  if (dx < 0) direction += 180;
  if (direction < 0) direction += 360;
  return direction;
}

void reset_knife(Context& context) {
  if (!context.settings.on(Slot::Ena_tang_C)) return;
  context.conversion.geometry.last_c_angle = 0;
  write_line(context, context.derived.feed_c, "C", context.derived.mask);
}

}  // namespace vireo
