#include "manual/find_centre.h"

#include <algorithm>
#include <limits>

#include "base/command_language.h"
#include "base/number_text.h"
#include "core/context.h"
#include "link/output_channel.h"
#include "link/serial_events.h"

namespace vireo {
namespace {

constexpr std::string_view kArmed = "gh1";
constexpr std::string_view kFree = "gh0";
constexpr std::string_view kProbeRead = "ga";
constexpr std::string_view kFeedNudge = "fufd";
// Probing never runs faster than this feed code.
constexpr double kProbeFeedCap = 10;
constexpr std::string_view kProbeFeed = "F10";
// The wait for a reply lets the event loop run this long per turn.
constexpr int kWaitStepMs = 10;

void emit(Context& ctx, std::string_view line) {
  emit_line(ctx, line);
}

int whole(const std::string& text) {
  return static_cast<int>(std::clamp(int_part(leading_number(text)), static_cast<long long>(std::numeric_limits<int>::min()),
                                     static_cast<long long>(std::numeric_limits<int>::max())));
}

std::int16_t short_value(const std::string& text) {
  return static_cast<std::int16_t>(std::clamp(int_part(leading_number(text)), -32768LL, 32767LL));
}

}  // namespace

// One axis of a measurement: its letter, its travel and its result fields.
struct FindCentre::Axis {
  char letter;
  int travel;
  std::string* min;
  std::string* max;
  std::string* centre;
};

FindCentreFields opening_fields(const Context& ctx) {
  FindCentreFields fields;
  fields.slack = ctx.settings.text(Slot::mem_offset_trovacentro);
  fields.z_step = ctx.settings.text(Slot::memz_trovacent);
  return fields;
}

bool read_position(Context& ctx, const Clock& now) {
  ReceiveState& receive = ctx.receive;
  if (ctx.serial) ctx.serial->clear_input();
  receive.rx_count = 0;
  const long before = receive.decoded_frames;
  for (std::string_view line : {cmd::kProbeStart, kFeedNudge, kProbeRead}) emit(ctx, line);
  const auto deadline = now() + kReplyTimeout;
  while (receive.decoded_frames == before) {
    if (now() >= deadline) {
      ctx.host->message_box(kNoReplyMessage);
      return false;
    }
    ctx.host->pump_events();
    ctx.host->wait_events(kWaitStepMs);
    take_serial_events(ctx);
  }
  return true;
}

bool FindCentre::run(ProbeKind kind, ProbeAxes axes) {
  fields_.progress_max = axes == ProbeAxes::xy ? 8 : 2;
  bool ok = start_probing(kind);
  const Axis x{'X', travel_x_, &fields_.x_min, &fields_.x_max, &fields_.x_centre};
  const Axis y{'Y', travel_y_, &fields_.y_min, &fields_.y_max, &fields_.y_centre};
  if (ok) {
    switch (axes) {
      case ProbeAxes::x: ok = probe(kind, x); break;
      case ProbeAxes::y: ok = probe(kind, y); break;
      case ProbeAxes::xy:
        for (int cycle = 0; cycle < 2 && ok; ++cycle) ok = probe(kind, x) && probe(kind, y);
        break;
    }
  }
  if (ok) {
    const int digits = ctx_.derived.digits;
    const auto fixed = [digits](std::string& text) { text = fw(leading_number(text), digits); };
    if (axes != ProbeAxes::y) fixed(fields_.x_centre);
    else fields_.x_centre.clear();
    if (axes != ProbeAxes::x) fixed(fields_.y_centre);
    else fields_.y_centre.clear();
  }
  end_probing();
  return ok;
}

bool FindCentre::start_probing(ProbeKind kind) {
  ctx_.conversion.abort = false;
  const bool cave = kind == ProbeKind::cave;
  travel_x_ = whole(cave ? fields_.travel_cave_x : fields_.travel_isle_x);
  travel_y_ = whole(cave ? fields_.travel_cave_y : fields_.travel_isle_y);
  slack_ = short_value(fields_.slack);
  z_step_ = cave ? 0 : short_value(fields_.z_step);
  ctx_.channel.suppress = false;
  ctx_.channel.direct_to_machine = true;
  fields_.progress = 0;
  fields_.progress_visible = true;
  refresh();
  // Without the controller's position nothing can be measured from it.
  if (!read_position(ctx_, now_)) return false;
  if (ctx_.display.display_f > kProbeFeedCap) emit(ctx_, kProbeFeed);
  return true;
}

void FindCentre::end_probing() {
  emit(ctx_, cmd::kProbeEnd);
  ctx_.channel.suppress = true;
  ctx_.channel.direct_to_machine = false;
  fields_.progress_visible = false;
  refresh();
}

bool FindCentre::probe(ProbeKind kind, const Axis& axis) {
  return kind == ProbeKind::cave ? probe_cave(axis) : probe_isle(axis);
}

void FindCentre::move(bool armed, char letter, double value) {
  std::string line(armed ? kArmed : kFree);
  line += letter;
  append_fw(line, value, ctx_.derived.digits);
  line += cmd::kTerminator;
  emit(ctx_, line);
}

double FindCentre::current(char letter) const {
  const DisplayState& d = ctx_.display;
  return letter == 'X' ? d.display_x : letter == 'Y' ? d.display_y : d.display_z;
}

void FindCentre::step_progress() {
  ++fields_.progress;
  refresh();
}

void FindCentre::centre(const Axis& axis) {
  const double low = leading_number(*axis.min), high = leading_number(*axis.max);
  *axis.centre = number_text(low + static_cast<double>(int_part((high - low) / 2)));
  refresh();
}

bool FindCentre::probe_cave(const Axis& a) {
  const double target = current(a.letter) - a.travel;
  if (target < 0) {
    ctx_.host->message_box(std::string(1, a.letter) + " minore di zero");
    return false;
  }
  move(true, a.letter, target);
  if (!read_position(ctx_, now_)) return false;
  *a.min = number_text(current(a.letter));
  refresh();
  if (ctx_.conversion.abort) return false;
  step_progress();
  // Back off the wall, then towards the other one.
  move(false, a.letter, current(a.letter) + slack_);
  move(true, a.letter, current(a.letter) + a.travel);
  if (!read_position(ctx_, now_)) return false;
  *a.max = number_text(current(a.letter));
  refresh();
  if (ctx_.conversion.abort) return false;
  step_progress();
  centre(a);
  move(false, a.letter, leading_number(*a.centre));
  return true;
}

bool FindCentre::probe_isle(const Axis& a) {
  const double start = current(a.letter);
  if (start - a.travel < 0) {
    ctx_.host->message_box(std::string(1, a.letter) + " minore di zero");
    return false;
  }
  const double z_high = current('Z');
  const double z_low = z_high + z_step_;
  // Past the island's near side above it, down beside it, then towards it.
  move(true, a.letter, start - a.travel);
  move(true, 'Z', z_low);
  move(true, a.letter, current(a.letter) + a.travel);
  if (!read_position(ctx_, now_)) return false;
  *a.min = number_text(current(a.letter));
  refresh();
  if (ctx_.conversion.abort) return false;
  step_progress();
  const double first = current(a.letter);
  // Back off, up, over the island to its far side, down, and towards it from there.
  move(false, a.letter, first - slack_);
  move(true, 'Z', z_high);
  move(true, a.letter, first + a.travel);
  move(true, 'Z', z_low);
  move(true, a.letter, current(a.letter) - a.travel);
  if (!read_position(ctx_, now_)) return false;
  *a.max = number_text(current(a.letter));
  refresh();
  if (ctx_.conversion.abort) return false;
  step_progress();
  centre(a);
  // Back off, up, and over the centre.
  move(false, a.letter, current(a.letter) + slack_);
  move(true, 'Z', z_high);
  move(true, a.letter, leading_number(*a.centre));
  return true;
}

void FindCentre::refresh() {
  if (changed) changed();
}

}  // namespace vireo
