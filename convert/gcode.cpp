#include "convert/gcode.h"

#include <algorithm>
#include <climits>

#include "base/command_language.h"
#include "base/number_text.h"
#include "convert/emitters.h"
#include "convert/gcode_converter.h"
#include "convert/geometry_writers.h"
#include "convert/machine_value.h"
#include "convert/source_reader.h"
#include "convert/tool_change.h"

namespace vireo {
namespace {

constexpr double kInch = 25.4;
constexpr std::string_view kRepeat = "ripeti";
constexpr std::string_view kNoDwell = "T00000";

// The multiplexer outputs of M7, M8 and M9.
constexpr std::string_view kCoolantMist = "00001000";
constexpr std::string_view kCoolantFlood = "00001100";
constexpr std::string_view kCoolantOff = "00000000";

// The number of an M or G word as its table knows it; -1 for a fraction or a number beyond them.
int table_code(double n) {
  if (!(n >= 0 && n <= 1000) || n != static_cast<int>(n)) return -1;
  return static_cast<int>(n);
}

GcodeUnits units_of(const Context& context) {
  const SettingsRecord& s = context.settings;
  GcodeUnits units;
  units.decimal_always = s.on(Slot::ch_virgola);
  units.centres_relative = s.on(Slot::ij_mode);
  units.z_inverted = s.on(Slot::zinvert_gc);
  units.z_zero_negative = s.on(Slot::zeroneg_gcode);
  units.x_offset = s.number(Slot::x_gc);
  units.y_offset = s.number(Slot::y_gc);
  units.surface = s.number(Slot::z_gc);
  return units;
}

CodeSettings codes_of(const Context& context) {
  const SettingsRecord& s = context.settings;
  return {code_digits(s.text(Slot::maxv_gc)), s.number(Slot::molt_gc), s.number(Slot::Step_giro_A),
          s.number(Slot::Step_giro_B), s.number(Slot::Step_giro_C)};
}

// A 3D arc sets `vel_rap` to its feed for the rest of the run; the setting the operator keeps is
// given back when the run ends, so that it cannot be saved into the setup file by mistake.
class RapidFeedKeeper {
 public:
  explicit RapidFeedKeeper(SettingsRecord& settings) : settings_(settings), kept_(settings.text(Slot::vel_rap)) {}
  ~RapidFeedKeeper() { settings_.set_text(Slot::vel_rap, kept_); }
  RapidFeedKeeper(const RapidFeedKeeper&) = delete;
  RapidFeedKeeper& operator=(const RapidFeedKeeper&) = delete;

 private:
  SettingsRecord& settings_;
  std::string kept_;
};

}  // namespace

GcodeConverter::GcodeConverter(Context& context)
    : context_(context),
      state_(context.conversion),
      three_d_(context.settings.on(Slot::ena3d_gc)),
      digits_(context.derived.digits),
      units_(units_of(context)),
      codes_(codes_of(context)),
      arc_step_(context.settings.number(Slot::gradi_gc)) {}

void GcodeConverter::run() {
  const RapidFeedKeeper keeper(context_.settings);
  cutting_feed_ = context_.settings.text(Slot::vel_av);
  rapid_feed_ = context_.settings.text(Slot::vel_rap);
  reset_knife(context_);
  program_start(context_);
  for (;;) {
    start_pass();
    if (!convert_pass()) break;
    if (three_d_) break;
    pass_end(context_);
    std::string flag;
    repeat_pass(context_, flag);
    if (flag != kRepeat) break;
  }
  program_end(context_);
}

void GcodeConverter::start_pass() {
  units_.inch = context_.settings.text(Slot::unita_gc) == "inch";
  units_.scale = context_.derived.scale_gc * (units_.inch ? kInch : 1);
  motion_ = Motion::rapid;
  relative_ = false;
  position_ = {};
  z_ = 0;
  dwell_line_ = kNoDwell;
  state_.geometry.forget_position();
}

bool GcodeConverter::convert_pass() {
  while (state_.read_cursor < state_.text_length) {
    if (state_.abort) {
      context_.channel.line.clear();
      return false;
    }
    // One reader per token: the host processes its events once per token, a block being one.
    TokenReader reader(context_);
    token(reader, next_char(reader));
  }
  return true;
}

// The next character in capitals (words and letters are read in either case).
char GcodeConverter::next_char(TokenReader& reader) {
  const char c = reader.next();
  line_ended_ = c == '\0';
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads on in the same line up to `letter`; false when the line ends first.
bool GcodeConverter::read_on_to(TokenReader& reader, char letter) {
  if (line_ended_) return false;
  for (char c = next_char(reader); c != '\0'; c = next_char(reader))
    if (c == letter) return true;
  return false;
}

// A number read after a letter; the line has ended when nothing but a line end followed it.
NumberRead GcodeConverter::number(TokenReader& reader) {
  const NumberRead n = read_number(reader);
  line_ended_ = n.terminator == '\0';
  return n;
}

void GcodeConverter::skip_line(TokenReader& reader) {
  read_line_rest(reader);
  line_ended_ = true;
}

// Reads the block's letter-number pairs to the end of its line; `first` is a letter already read.
// A comment in brackets is skipped, one after ";" ends the block.
void GcodeConverter::parse(TokenReader& reader, char first) {
  block_ = Block{};
  if (first == '\0' && line_ended_) return;
  for (char c = first == '\0' ? next_char(reader) : first; c != '\0'; c = next_char(reader)) {
    if (c >= 'A' && c <= 'Z') {
      const NumberRead n = number(reader);
      store_word(block_, c, n, units_);
      if (c == 'P' && block_.p.present) dwell_line_ = dwell_line(block_.p);
      if (line_ended_) return;
    } else if (c == '(') {
      while (c != ')' && c != '\0') c = next_char(reader);
      if (c == '\0') return;
    } else if (c == ';') {
      skip_line(reader);
      return;
    }
  }
}

void GcodeConverter::token(TokenReader& reader, char c) {
  switch (c) {
    case '%':
    case '(':
    case ';':
    case '/':
      skip_line(reader);
      return;
    case 'M': {
      const NumberRead m = number(reader);
      if (m.has_digits) m_code(reader, m.value);
      return;
    }
    case 'T': {
      const NumberRead tool = number(reader);
      if (!tool.has_digits || !read_on_to(reader, 'M')) return;
      const NumberRead m = number(reader);
      if (m.has_digits && m.value == 6) tool_change_to(tool.value);
      return;
    }
    case 'X':
    case 'Y':
      parse(reader, c);
      modal_move();
      return;
    case 'F':
      parse(reader, c);
      if (!block_.f.present) return;
      if (motion_ == Motion::rapid) {
        rapid_feed_ = feed_line(block_, codes_, units_.inch);
        write_line(context_, rapid_feed_);
      } else if (motion_ == Motion::cut) {
        cutting_feed_ = feed_line(block_, codes_, units_.inch);
        write_line(context_, cutting_feed_);
      }
      return;
    case 'S':
      parse(reader, c);
      if (block_.s.present) write_line(context_, spindle_line(block_.s.value, codes_));
      return;
    case 'G': {
      const NumberRead g = number(reader);
      if (g.has_digits) g_code(reader, g.value);
      return;
    }
    default:
      return;
  }
}

void GcodeConverter::m_code(TokenReader& reader, double m) {
  switch (table_code(m)) {
    case 0: case 1: case 2: case 30: case 60:
      // Program stop or end: the rest of the text is not read in this pass.
      state_.read_cursor = state_.text_length;
      return;
    case 3: case 4: case 13: case 14:
      write_line(context_, context_.settings.text(Slot::vel_mand));
      return;
    case 5:
      write_line(context_, cmd::kSpindleStop);
      return;
    case 6:
      if (read_on_to(reader, 'T')) {
        const NumberRead tool = number(reader);
        if (tool.has_digits) tool_change_to(tool.value);
      }
      return;
    case 7: write_outputs(context_, kCoolantMist); return;
    case 8: write_outputs(context_, kCoolantFlood); return;
    case 9: write_outputs(context_, kCoolantOff); return;
    default: return;
  }
}

void GcodeConverter::g_code(TokenReader& reader, double g) {
  const int code = table_code(g);
  switch (code) {
    case 0:
    case 1:
      motion_ = code == 0 ? Motion::rapid : Motion::cut;
      parse(reader, '\0');
      straight_move(motion_);
      return;
    case 2:
    case 3:
      motion_ = code == 2 ? Motion::arc_cw : Motion::arc_ccw;
      parse(reader, '\0');
      arc(code == 2);
      return;
    case 4:
      if (read_on_to(reader, 'P')) parse(reader, 'P');
      write_line(context_, dwell_line_);
      return;
    case 20: case 70:
      units_.inch = true;
      units_.scale = context_.derived.scale_gc * kInch;
      return;
    case 21: case 71:
      units_.inch = false;
      units_.scale = context_.derived.scale_gc;
      return;
    case 81: case 82: case 83:
      parse(reader, '\0');
      drilling_cycle();
      return;
    case 90: relative_ = false; return;
    case 91: relative_ = true; return;
    case 94:
      if (!read_on_to(reader, 'F')) return;
      parse(reader, 'F');
      if (block_.f.present) write_line(context_, feed_line(block_, codes_, units_.inch));
      return;
    case 96: case 97:
      if (!read_on_to(reader, 'S')) return;
      parse(reader, 'S');
      if (block_.s.present) write_line(context_, spindle_line(block_.s.value, codes_));
      return;
    case 98: return_to_r_level_ = false; return;
    case 99: return_to_r_level_ = true; return;
    default:
      return;  // G80, G93, G95 and the others: the rest of the block is read as tokens
  }
}

void GcodeConverter::tool_change_to(double tool) {
  context_.tools.requested = static_cast<int>(std::clamp(static_cast<double>(int_part(tool)), double(INT_MIN), double(INT_MAX)));
  tool_change(context_);
}

void GcodeConverter::reject(std::string_view message) {
  context_.channel.error_text = message;
  ++context_.channel.error_count;
}

void convert_gcode(Context& context) { GcodeConverter(context).run(); }

}  // namespace vireo
