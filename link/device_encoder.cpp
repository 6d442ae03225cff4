#include "link/device_encoder.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "core/context.h"
#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"
#include "base/short_copy.h"

namespace vireo {
namespace {

using Value = double DisplayState::*;

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

bool all_digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A field's value, and whether the field is `count` plain digits.
struct FieldValue {
  double value;
  bool plain;
};

FieldValue field_value(std::string_view text, std::size_t count) {
  if (text.size() != count || count > 15) return {value_of(text), false};
  std::int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return {value_of(text), false};
    v = v * 10 + (c - '0');
  }
  return {static_cast<double>(v), true};
}

// An axis the coordinate correction rewrites.
struct CorrectedAxis {
  Slot factor;
  Value tracked;
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

// An absolute axis of a move line as track_line follows it.
struct TrackedAxis {
  Value display;
  Value tracked;
  Slot factor;  // its coordinate correction
  int digit;
};

constexpr TrackedAxis kTrackedX{&DisplayState::display_x, &DisplayState::tracked_x, Slot::correzione_x, digit::kX};
constexpr TrackedAxis kTrackedY{&DisplayState::display_y, &DisplayState::tracked_y, Slot::correzione_y, digit::kY};
constexpr TrackedAxis kTrackedZ{&DisplayState::display_z, &DisplayState::tracked_z, Slot::correzione_z, digit::kZ};

// A rotary axis: the line gives motor steps, the display shows hundredths of a degree.
struct RotaryAxis {
  Value display;
  Slot steps_per_turn;
  int digit;
};

// The step commands: single steps of an axis, steps of the feed and spindle codes (which wrap around),
// and the commands that make an axis position 0.
enum class StepKind { axis_down, axis_up, code_down, code_up, clear };

struct LinearAxis {
  Value display;
  Value tracked;
  Slot display_factor;
  int digit;
};

constexpr LinearAxis kLinearAxes[] = {
    {&DisplayState::display_x, &DisplayState::tracked_x, Slot::display_corr_x, digit::kX},
    {&DisplayState::display_y, &DisplayState::tracked_y, Slot::display_corr_y, digit::kY},
    {&DisplayState::display_z, &DisplayState::tracked_z, Slot::display_corr_z, digit::kZ},
};

struct CodeDisplay {
  Value display;
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

const StepCommand* step_command(std::string_view token) {
  // Every step command ends in one of these; most tokens met on a line ("c*", "cX") end otherwise.
  constexpr std::string_view kStepEnds = "duxyz";
  if (token.size() != 2 || kStepEnds.find(token[1]) == std::string_view::npos) return nullptr;
  const auto command = std::find_if(std::begin(kStepCommands), std::end(kStepCommands),
                                    [&](const StepCommand& s) { return s.token == token; });
  return command == std::end(kStepCommands) ? nullptr : command;
}

// The decimal text of an integer, made once for the line and the step token.
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

// Characters that correct_coordinates acts on, that start a "zs" it acts on, or whose removal may
// make one.
bool correction_letter(char c) {
  switch (c) {
    case 'X': case 'Y': case 'Z': case 'A': case 'B': case 'C': case 'z': case cmd::kFiller: return true;
    default: return false;
  }
}

// track_line's scan. Returns false when correct_coordinates has nothing left to do on the line it
// leaves: every value it holds is an X, Y or Z field of N digits whose factor is 1 (left as it is,
// with the tracked value the scan set already), and no "zs", no rotary axis, no R move and no axis
// step is in it. Removing the fillers joins the characters around them, which matters only where a
// "z" comes to stand before an "s": a "z" the scan reaches takes the character after it as a step
// token, so such a "z" is one taken that way, and the token's character is checked. Anything else
// answers true.
bool track(Context& context) {
  std::string& line = context.channel.line;
  if (line.empty()) return false;
  DisplayState& d = context.display;
  const std::size_t n = static_cast<std::size_t>(context.derived.digits);
  const bool shown = context.channel.sink != sink::kFile;
  bool left_for_correction = false;
  // Whether the line may hold a filler: one the scan met or wrote, or one that may stand among the
  // characters it passes over without reading them as digits.
  bool filler = false;
  const auto show = [&](int digit, double value) {
    if (shown) context.host->show_digit(digit, value);
  };
  const std::size_t length = line.size();
  // A dropped command is overwritten with fillers, which the scan then passes over (a filler does
  // nothing).
  const auto drop = [&](std::size_t& i, std::size_t count) {
    std::fill(line.begin() + i, line.begin() + std::min(length, i + count), cmd::kFiller);
    i += count - 1;
    filler = true;
  };
  // Reads the field of `count` characters after position i; a field that is not all digits leaves
  // characters the correction could read differently.
  const auto read_field = [&](std::size_t i, std::size_t count) {
    const FieldValue v = field_value(field(line, i + 1, count), count);
    if (!v.plain) left_for_correction = filler = true;
    return v.value;
  };
  const auto track_axis = [&](std::size_t& i, double value, const TrackedAxis& axis) {
    d.*axis.display = value;
    d.*axis.tracked = value;
    if (context.settings.number(axis.factor) != 1) left_for_correction = true;
    i += n;
    show(axis.digit, value);
  };
  const auto track_rotary = [&](std::size_t& i, const RotaryAxis& axis) {
    // Rotary values are read with 5 digits whatever the fixed digit count is.
    const double steps = context.settings.number(axis.steps_per_turn);
    d.*axis.display = steps != 0 ? value_of(field(line, i + 1, 5)) / steps * 36000 : 0;
    i += 5;
    left_for_correction = filler = true;
    show(axis.digit, d.*axis.display);
  };

  for (std::size_t i = 0; i < length; ++i) {
    // The character after this one, for the two-letter commands.
    const auto next = [&] { return i + 1 < length ? line[i + 1] : '\0'; };
    switch (line[i]) {
      case 'R':  // the axis and value of a positioning move are not tracked
        i += 1 + n;
        left_for_correction = filler = true;
        break;
      case 'X':
        track_axis(i, read_field(i, n), kTrackedX);
        break;
      case 'Y':
        track_axis(i, read_field(i, n), kTrackedY);
        break;
      case 'Z': {
        const double z = read_field(i, n);
        // Most Z moves repeat the Z reached.
        if (!d.force_z && z == d.display_z) {
          drop(i, 1 + n);
        } else {
          d.force_z = false;
          track_axis(i, z, kTrackedZ);
        }
        break;
      }
      case 'F': {
        const double f = read_field(i, 2);
        if (!d.force_f && f == d.display_f) {
          drop(i, 3);
        } else {
          d.display_f = f;
          d.force_f = false;
          i += 2;
          show(digit::kFeed, f);
        }
        break;
      }
      case 'S':
        d.display_s = read_field(i, 2);
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
        if (next() == 'b') {
          assign_short(d.pulse_state, cmd::kBull);
          d.pa_pending = false;
        } else if (next() == 'c') {
          assign_short(d.pulse_state, cmd::kGlue);
          if (d.pa_pending) drop(i, 2);
          d.pa_pending = false;
        } else if (next() == 'a') {
          line[i + 1] = 'c';
          d.pa_pending = true;
        }
        break;
      case 'z':
        if (next() == 's') {
          assign_short(d.step_token, field(line, i + 2, n));
          d.display_z = static_cast<double>(int_part(d.display_z - value_of(d.step_token)));
          i += 1 + n;
          if (!context.settings.on(Slot::ena_correzione_coord)) d.tracked_z = d.display_z;
          left_for_correction = filler = true;
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
        assign_short(d.step_token, field(line, i, 2));
        apply_step_command(context);
        // An axis step or clear changes a tracked value the correction may set again from the line;
        // the character the token takes may be one the correction reads.
        if (const StepCommand* command = step_command(d.step_token); command && !command->code)
          left_for_correction = true;
        if (correction_letter(next())) left_for_correction = true;
        if (next() == cmd::kFiller) filler = true;
        i += 1;
        break;
      case cmd::kFiller:
        filler = true;
        break;
      default:
        break;
    }
  }
  // Every filler goes, also one the producer wrote itself.
  if (filler) std::erase(line, cmd::kFiller);
  return left_for_correction;
}

}  // namespace

void track_line(Context& context) { track(context); }

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
      assign_short(d.step_token, text.view());
      d.tracked_z = held_as_text(d.tracked_z - static_cast<double>(v));
      put_fixed(line, i + 2, text, n);
      i += 1 + n;
      continue;
    }
    const CorrectedAxis* axis = corrected_axis(c);
    if (!axis) continue;
    const double factor = context.settings.number(axis->factor);
    const std::string_view digits = field(line, i + 1, n);
    if (factor == 1 && digits.size() == n && all_digits(digits)) {
      // Int(v × 1) is v, whose fixed-width form is the field itself: only the tracked value changes.
      // Most lines take this way, as the factors are 1.
      d.*axis->tracked = value_of(digits);
      i += n;
      continue;
    }
    const long long v = corrected(digits, factor);
    d.*axis->tracked = static_cast<double>(v);
    put_fixed(line, i + 1, IntegerText(v), n);
    i += n;
  }
}

void encode_line(Context& context) {
  if (track(context)) correct_coordinates(context);
}

void apply_step_command(Context& context) {
  DisplayState& d = context.display;
  const StepCommand* command = step_command(d.step_token);
  if (!command) return;
  Host& host = *context.host;

  if (command->code) {
    const CodeDisplay& code = *command->code;
    const double v = d.*code.display;
    double result = 0;
    if (command->kind == StepKind::code_down) {
      result = v == 0 ? code.highest : v - 1;
    } else {
      result = v == code.highest ? 0 : v + 1;
    }
    d.*code.display = held_as_text(result);
    host.show_digit(code.digit, result);
    return;
  }

  const LinearAxis& axis = kLinearAxes[command->axis];
  double& display = d.*axis.display;
  double& tracked = d.*axis.tracked;
  if (command->kind == StepKind::clear) {
    display = 0;
    tracked = 0;
    host.show_digit(axis.digit, 0);
    return;
  }
  const bool down = command->kind == StepKind::axis_down;
  // An axis at 0 takes no step down; an unknown position takes none up.
  if (display == (down ? 0 : kUnknownPosition)) return;
  const double step =
      context.settings.on(Slot::ena_correzione_display) ? context.settings.number(axis.display_factor) : 1;
  const double position = tracked + (down ? -step : step);
  tracked = held_as_text(position);
  display = static_cast<double>(int_part(position));
  host.show_digit(axis.digit, display);
}

}  // namespace vireo
