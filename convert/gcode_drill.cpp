// The G-code converter's drilling cycles (G81, G82, G83): down to the R level, position, peck, drill
// to the bottom, return to the R level (G99) or the initial level (G98).
#include <cmath>

#include "base/command_language.h"
#include "base/number_text.h"
#include "convert/emitters.h"
#include "convert/gcode_converter.h"
#include "convert/machine_value.h"

namespace vireo {
namespace {

constexpr std::string_view kDrilling = "  FORO    ";
constexpr std::string_view kIdle = "          ";

}  // namespace

void GcodeConverter::drilling_cycle() {
  if (!block_.r.present) return reject(" parametro R mancante");
  if (!block_.z.present) return reject(" ZBOTTOM mancante");
  // Depths are written in whole hundredths like the move lines, so that the fixed-width field holds
  // them whatever the decimals of the source.
  const double r_level = whole_hundredths(machine_z(units_, block_.r.value), "R");
  const double bottom = whole_hundredths(block_.z.value, "Z");
  const double peck = block_.q.present ? block_.q.value : 0;
  if (block_.f.present) cutting_feed_ = feed_line(block_, codes_, units_.inch);
  const double initial = three_d_ ? whole_hundredths(z_, "Z")
                                  : leading_number(std::string_view(state_.travel_z_line).substr(1, digits_));
  const std::string& return_feed = context_.settings.text(Slot::vel_rit);
  const auto z_line = [&](double z) {
    std::string line = "Z";
    append_fw(line, z, digits_);
    return line + cmd::kTerminator;
  };

  rapid_feed_ = return_feed;
  ++context_.channel.line_counter;
  write_line(context_, return_feed);
  write_line(context_, z_line(r_level));

  const Point to = target();
  std::string position;
  const auto add = [&](char letter, const Axis& axis) {
    position += letter;
    append_fw(position, whole_hundredths(axis.value, std::string(1, letter)), digits_);
    position += cmd::kTerminator;
  };
  if (block_.x.present && to.x.known) add('X', to.x);
  if (block_.y.present && to.y.known) add('Y', to.y);
  write_line(context_, position);
  position_ = to;

  context_.channel.operation_text = kDrilling;
  pecks(r_level, bottom, peck);
  write_line(context_, cutting_feed_);
  write_line(context_, z_line(bottom));
  if (context_.display.pulse_state != cmd::kBull) write_line(context_, context_.derived.bull);
  if (context_.display.pulse_state != cmd::kGlue) write_line(context_, context_.derived.glue);
  if (block_.p.present) write_line(context_, dwell_line_);
  write_line(context_, return_feed);
  write_line(context_, z_line(return_to_r_level_ ? r_level : initial));
  context_.channel.operation_text = kIdle;
}

// Pecks from the R level towards the bottom, each one back to the R level, until the next would
// reach the bottom. The step is taken in whole hundredths towards the bottom whatever its sign (one
// of less than half a hundredth makes no pecks), and never finer than the fixed-width field can tell
// apart, so that the number of pecks stays within its range.
void GcodeConverter::pecks(double r_level, double bottom, double peck) {
  double step = static_cast<double>(round_half_even(std::fabs(peck)));
  if (step == 0) return;
  const double span = std::fabs(bottom - r_level);
  const double field_values = std::pow(10.0, digits_);
  if (span / step > field_values) step = std::ceil(span / field_values);
  const double down = bottom >= r_level ? 1 : -1;
  const std::string& return_feed = context_.settings.text(Slot::vel_rit);
  for (double d = r_level;; d += down * step) {
    std::string z = "Z";
    append_fw(z, d, digits_);
    write_line(context_, cutting_feed_);
    write_line(context_, z + cmd::kTerminator);
    write_line(context_, return_feed);
    std::string r = "Z";
    append_fw(r, r_level, digits_);
    write_line(context_, r + cmd::kTerminator);
    if (down * (d + down * step - bottom) >= 0 || state_.abort) return;
  }
}

}  // namespace vireo
