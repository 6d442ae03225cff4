#include "link/device_encoder.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "core/context.h"
#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"

namespace vireo {
namespace {

using Text = std::string DisplayState::*;

// Up to `count` characters of the line from `from`; fewer where the line ends early.
std::string_view field(const std::string& line, std::size_t from, std::size_t count) {
  if (from >= line.size()) return {};
  return {line.data() + from, std::min(count, line.size() - from)};
}

// The value of a text: its leading decimal number, 0 without one. Fields of plain digits, nearly every
// field of a line, are read directly.
double value_of(std::string_view text) {
  if (text.empty() || text.size() > 15) return leading_number(text);
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return leading_number(text);
    v = v * 10 + (c - '0');
  }
  return static_cast<double>(v);
}

// Fields are a few characters long: compared and copied character by character, without a call.
bool same_chars(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (a[k] != b[k]) return false;
  return true;
}

bool same_value(std::string_view a, std::string_view b) { return same_chars(a, b) || value_of(a) == value_of(b); }

bool all_digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Copies a field of the line into a state text. A field mostly replaces a text of its own length,
// which is then overwritten in place.
void set_text(std::string& to, std::string_view from) {
  if (to.size() != from.size()) {
    // Appending to the emptied text keeps its storage and skips the checks a general assign makes.
    to.clear();
    to.append(from);
    return;
  }
  char* out = to.data();
  for (char c : from) *out++ = c;
}

// An absolute axis of a move line as track_line follows it.
struct TrackedAxis {
  Text display;
  Text tracked;
  int digit;
};

// A rotary axis: the line gives motor steps, the display shows hundredths of a degree.
struct RotaryAxis {
  double DisplayState::*display;
  Slot steps_per_turn;
  int digit;
};

// An axis the coordinate correction rewrites.
struct CorrectedAxis {
  Slot factor;
  Text tracked;
};

const CorrectedAxis* corrected_axis(char letter) {
  static constexpr CorrectedAxis kAxes[] = {
      {Slot::correzione_x, &DisplayState::tracked_x}, {Slot::correzione_y, &DisplayState::tracked_y},
      {Slot::correzione_z, &DisplayState::tracked_z}, {Slot::correzione_a, &DisplayState::tracked_a},
      {Slot::correzione_b, &DisplayState::tracked_b}, {Slot::correzione_c, &DisplayState::tracked_c},
  };
  switch (letter) {
    case 'X': return &kAxes[0];
    case 'Y': return &kAxes[1];
    case 'Z': return &kAxes[2];
    case 'A': return &kAxes[3];
    case 'B': return &kAxes[4];
    case 'C': return &kAxes[5];
    default: return nullptr;
  }
}

// The step commands: single steps of an axis, steps of the feed and spindle codes (which wrap around),
// and the commands that make an axis position 0.
enum class StepKind { axis_down, axis_up, code_down, code_up, clear };

struct LinearAxis {
  Text display;
  Text tracked;
  Slot display_factor;
  int digit;
};

constexpr LinearAxis kLinearAxes[] = {
    {&DisplayState::display_x, &DisplayState::tracked_x, Slot::display_corr_x, digit::kX},
    {&DisplayState::display_y, &DisplayState::tracked_y, Slot::display_corr_y, digit::kY},
    {&DisplayState::display_z, &DisplayState::tracked_z, Slot::display_corr_z, digit::kZ},
};

struct CodeDisplay {
  Text display;
  double highest;
  int digit;
};

constexpr CodeDisplay kFeedCode{&DisplayState::display_f, 99, digit::kFeed};
constexpr CodeDisplay kSpindleCode{&DisplayState::display_s, 12, digit::kSpindle};

struct StepCommand {
  std::string_view token;
  StepKind kind;
  int axis;  // index into kLinearAxes, for the axis kinds
  const CodeDisplay* code;
};

constexpr StepCommand kStepCommands[] = {
    {"xd", StepKind::axis_down, 0, nullptr}, {"xu", StepKind::axis_up, 0, nullptr},
    {"yd", StepKind::axis_down, 1, nullptr}, {"yu", StepKind::axis_up, 1, nullptr},
    {"zd", StepKind::axis_down, 2, nullptr}, {"zu", StepKind::axis_up, 2, nullptr},
    {"fd", StepKind::code_down, 0, &kFeedCode}, {"fu", StepKind::code_up, 0, &kFeedCode},
    {"sd", StepKind::code_down, 0, &kSpindleCode}, {"su", StepKind::code_up, 0, &kSpindleCode},
    {"cx", StepKind::clear, 0, nullptr}, {"rx", StepKind::clear, 0, nullptr},
    {"cy", StepKind::clear, 1, nullptr}, {"ry", StepKind::clear, 1, nullptr},
    {"cz", StepKind::clear, 2, nullptr}, {"rz", StepKind::clear, 2, nullptr},
};

// The decimal text of an integer, made once for the line and the tracked value.
struct IntegerText {
  explicit IntegerText(long long v) : length(static_cast<std::size_t>(std::to_chars(text, text + sizeof text, v).ptr - text)) {}
  std::string_view view() const { return {text, length}; }
  char text[24];
  std::size_t length;
};

// Writes the fixed-width form of a number (zeros in front, the rightmost `digits` characters, a minus
// sign kept inside the field) over the line from `at`, lengthening the line where it ends early.
void put_fixed(std::string& line, std::size_t at, const IntegerText& v, std::size_t digits) {
  if (line.size() < at + digits) line.resize(at + digits);
  char* out = line.data() + at;
  for (std::size_t k = 0; k < digits; ++k)
    out[k] = k + v.length >= digits ? v.text[k + v.length - digits] : '0';
}

// Int(value × factor), which must stay in the 32-bit range the controller's values are held in.
long long corrected(std::string_view digits, double factor) {
  const long long v = int_part(value_of(digits) * factor);
  if (v > INT32_MAX || v < INT32_MIN) throw RunError(err::kOverflow, "Overflow");
  return v;
}

}  // namespace

void track_line(Context& context) {
  std::string& line = context.channel.line;
  if (line.empty()) return;
  DisplayState& d = context.display;
  const std::size_t n = static_cast<std::size_t>(context.derived.digits);
  const bool shown = context.channel.sink != sink::kFile;
  const auto show = [&](int digit, const std::string& value) {
    if (shown) context.host->show_digit(digit, value_of(value));
  };
  const std::size_t length = line.size();
  const auto fill = [&](std::size_t from, std::size_t count) {
    std::fill(line.begin() + from, line.begin() + std::min(length, from + count), cmd::kFiller);
  };
  const auto track_axis = [&](std::size_t& i, const TrackedAxis& axis) {
    set_text(d.*axis.display, field(line, i + 1, n));
    set_text(d.*axis.tracked, d.*axis.display);
    i += n;
    show(axis.digit, d.*axis.display);
  };
  const auto track_rotary = [&](std::size_t& i, const RotaryAxis& axis) {
    // Rotary values are read with 5 digits whatever the fixed digit count is.
    const double steps = context.settings.number(axis.steps_per_turn);
    d.*axis.display = steps != 0 ? value_of(field(line, i + 1, 5)) / steps * 36000 : 0;
    i += 5;
    if (shown) context.host->show_digit(axis.digit, d.*axis.display);
  };

  for (std::size_t i = 0; i < length; ++i) {
    const char next = i + 1 < length ? line[i + 1] : '\0';
    switch (line[i]) {
      case 'R':  // the axis and value of a positioning move are not tracked
        i += 1 + n;
        break;
      case 'X':
        track_axis(i, {&DisplayState::display_x, &DisplayState::tracked_x, digit::kX});
        break;
      case 'Y':
        track_axis(i, {&DisplayState::display_y, &DisplayState::tracked_y, digit::kY});
        break;
      case 'Z':
        // The same text is the same value: most Z moves repeat the Z reached, and need no reading.
        if (!d.force_z && same_value(field(line, i + 1, n), d.display_z)) {
          fill(i, 1 + n);
        } else {
          d.force_z = false;
          track_axis(i, {&DisplayState::display_z, &DisplayState::tracked_z, digit::kZ});
        }
        break;
      case 'F':
        if (!d.force_f && same_value(field(line, i + 1, 2), d.display_f)) {
          fill(i, 3);
        } else {
          set_text(d.display_f, field(line, i + 1, 2));
          d.force_f = false;
          i += 2;
          show(digit::kFeed, d.display_f);
        }
        break;
      case 'S':
        set_text(d.display_s, field(line, i + 1, 2));
        i += 2;
        show(digit::kSpindle, d.display_s);
        break;
      case 'A':
        track_rotary(i, {&DisplayState::display_a, Slot::Step_giro_A, digit::kA});
        break;
      case 'B':
        track_rotary(i, {&DisplayState::display_b, Slot::Step_giro_B, digit::kB});
        break;
      case 'C':
        track_rotary(i, {&DisplayState::display_c, Slot::Step_giro_C, digit::kC});
        break;
      case 'p':
        if (next == 'b') {
          set_text(d.pulse_state, cmd::kBull);
          d.pa_pending.clear();
        } else if (next == 'c') {
          if (d.pa_pending == cmd::kVertex) fill(i, 2);
          set_text(d.pulse_state, cmd::kGlue);
          d.pa_pending.clear();
        } else if (next == 'a') {
          line[i + 1] = 'c';
          d.pa_pending = cmd::kVertex;
        }
        break;
      case 'z':
        if (next == 's') {
          d.step_token.assign(field(line, i + 2, n));
          d.display_z.assign(IntegerText(int_part(value_of(d.display_z) - value_of(d.step_token))).view());
          i += 1 + n;
          if (!context.settings.on(Slot::ena_correzione_coord)) d.tracked_z = d.display_z;
          show(digit::kZ, d.display_z);
          break;
        }
        [[fallthrough]];
      case 'x':
      case 'y':
      case 'f':
      case 's':
      case 'c':
      case 'r':
        set_text(d.step_token, field(line, i, 2));
        apply_step_command(context);
        i += 1;
        break;
      default:
        break;
    }
  }
  // Every filler goes, also one the producer wrote itself.
  if (line.find(cmd::kFiller) != std::string::npos) std::erase(line, cmd::kFiller);
}

void correct_coordinates(Context& context) {
  if (!context.settings.on(Slot::ena_correzione_coord)) return;
  std::string& line = context.channel.line;
  DisplayState& d = context.display;
  const std::size_t n = static_cast<std::size_t>(context.derived.digits);
  const std::size_t length = line.size();
  for (std::size_t i = 0; i < length; ++i) {
    const char c = line[i];
    if (c == 'z' && i + 1 < length && line[i + 1] == 's') {
      const long long v = corrected(field(line, i + 2, n), context.settings.number(Slot::correzione_z));
      const IntegerText text(v);
      d.step_token.assign(text.view());
      d.tracked_z = number_text(value_of(d.tracked_z) - static_cast<double>(v));
      put_fixed(line, i + 2, text, n);
      i += 1 + n;
      continue;
    }
    const CorrectedAxis* axis = corrected_axis(c);
    if (!axis) continue;
    const double factor = context.settings.number(axis->factor);
    const std::string_view digits = field(line, i + 1, n);
    if (factor == 1 && digits.size() == n && all_digits(digits)) {
      // Int(v × 1) is v, whose fixed-width form is the field itself: only the tracked value changes,
      // to the number without its leading zeros. Most lines take this way, as the factors are 1.
      const std::size_t first = digits.find_first_not_of('0');
      set_text(d.*axis->tracked, first == std::string_view::npos ? std::string_view("0") : digits.substr(first));
      i += n;
      continue;
    }
    const IntegerText text(corrected(digits, factor));
    set_text(d.*axis->tracked, text.view());
    put_fixed(line, i + 1, text, n);
    i += n;
  }
}

void apply_step_command(Context& context) {
  DisplayState& d = context.display;
  // Every step command ends in one of these; most tokens met on a line ("c*", "cX") end otherwise.
  constexpr std::string_view kStepEnds = "duxyz";
  if (d.step_token.size() != 2 || kStepEnds.find(d.step_token[1]) == std::string_view::npos) return;
  const auto command = std::find_if(std::begin(kStepCommands), std::end(kStepCommands),
                                    [&](const StepCommand& s) { return s.token == d.step_token; });
  if (command == std::end(kStepCommands)) return;
  Host& host = *context.host;

  if (command->code) {
    const CodeDisplay& code = *command->code;
    const double v = value_of(d.*code.display);
    double result = 0;
    if (command->kind == StepKind::code_down) {
      result = v == 0 ? code.highest : v - 1;
    } else {
      result = v == code.highest ? 0 : v + 1;
    }
    d.*code.display = number_text(result);
    host.show_digit(code.digit, result);
    return;
  }

  const LinearAxis& axis = kLinearAxes[command->axis];
  std::string& display = d.*axis.display;
  std::string& tracked = d.*axis.tracked;
  if (command->kind == StepKind::clear) {
    display = "0";
    tracked = "0";
    host.show_digit(axis.digit, 0);
    return;
  }
  const bool down = command->kind == StepKind::axis_down;
  // An axis at 0 takes no step down; an unknown position takes none up.
  if (value_of(display) == (down ? 0 : kUnknownPosition)) return;
  const double step =
      context.settings.on(Slot::ena_correzione_display) ? context.settings.number(axis.display_factor) : 1;
  const double position = value_of(tracked) + (down ? -step : step);
  tracked = number_text(position);
  display = number_text(static_cast<double>(int_part(position)));
  host.show_digit(axis.digit, value_of(display));
}

}  // namespace vireo
