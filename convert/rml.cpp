#include "convert/rml.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "base/command_language.h"
#include "base/number_text.h"
#include "convert/emitters.h"
#include "convert/machine_value.h"
#include "convert/source_reader.h"
#include "core/context.h"

namespace vireo {
namespace {

constexpr std::string_view kSpindleStopCommand = "MC0";

class RmlConverter {
 public:
  explicit RmlConverter(Context& context)
      : context_(context),
        state_(context.conversion),
        scale_(context.derived.scale_rml),
        x_offset_(context.settings.number(Slot::x_rol)),
        y_offset_(context.settings.number(Slot::y_rol)),
        surface_(context.settings.number(Slot::z_roland)),
        zero_negative_(context.settings.on(Slot::zeroneg_rol)),
        max_feed_(code_digits(context.settings.text(Slot::maxv_modela))),
        digits_(context.derived.digits) {}

  void run() {
    program_start(context_);
    while (state_.read_cursor < state_.text_length) {
      if (state_.abort) {
        context_.channel.line.clear();
        break;
      }
      dispatch(read_char(context_));
    }
    program_end(context_);
  }

 private:
  enum Axis { kX, kY, kZ };

  // One command letter; a coordinate command hands back the character that ended it, which may
  // start the next command.
  void dispatch(char c) {
    while (c == 'Z') c = coordinates();
    switch (c) {
      case '^':
        mode();
        return;
      case 'V':
      case 'v':
        velocity();
        return;
      case '!':
        if (read_chars(context_, kSpindleStopCommand.size()) == kSpindleStopCommand)
          write_line(context_, cmd::kSpindleStop);
        return;
      default:
        return;
    }
  }

  // "^pa" absolute, "^pr" relative; the letters are compared exactly, in lower case.
  void mode() {
    if (read_char(context_) != 'p') return;
    const char which = read_char(context_);
    if (which == 'a') relative_ = false;
    if (which == 'r') relative_ = true;
  }

  // "V" and a number: the feed code, a fraction dropped and held to the highest code of
  // `maxv_modela`. A "V" without digits leaves the feed as it was.
  void velocity() {
    const NumberRead v = read_number(context_);
    if (!v.has_digits) return;
    const double code = std::clamp(static_cast<double>(int_part(v.value)), 0.0, max_feed_);
    write_line(context_, "F", two_digits(code));
  }

  // "Z" x,y,z,x,y,z...: the numbers go to X, Y and Z in turn; after each Z the changed axes go out
  // as one line. The command ends at ";"; a blank or line end inside it is skipped, any other
  // character ends it too and is handed back.
  char coordinates() {
    Axis axis = kX;
    Number number;
    for (;;) {
      const char c = read_char(context_);
      if (number.take(c)) continue;
      const bool text_ended = c == '\0' && state_.read_cursor >= state_.text_length;
      if (c == ' ' || (c == '\0' && !text_ended)) continue;
      if (number.has_digits) assign(axis, number.sign * whole_hundredths(number.magnitude * scale_, "RML"));
      number = Number{};
      if (c != ',') {
        // A triplet left incomplete goes out on its own rather than joining the next one.
        flush();
        return c == ';' ? '\0' : c;
      }
      axis = axis == kZ ? kX : static_cast<Axis>(axis + 1);
      if (state_.abort) return '\0';
    }
  }

  // A coordinate as magnitude and sign, read character by character: signs before the first digit
  // (the first one counts), digits with at most one decimal point; what follows up to the next
  // separator is no part of it.
  struct Number {
    double sign = 1;
    double magnitude = 0;
    double weight = 1;     // of the last decimal digit taken
    bool point = false;
    bool has_digits = false;
    bool sign_read = false;
    bool ended = false;    // a character after the number was read

    // Takes a character of the number field; false for a separator, a blank or any other character.
    bool take(char c) {
      const bool started = has_digits || point;
      if (c >= '0' && c <= '9') {
        if (ended) return true;
        if (point) {
          weight /= 10;
          magnitude += (c - '0') * weight;
        } else {
          magnitude = magnitude * 10 + (c - '0');
        }
        has_digits = true;
      } else if (c == '.') {
        if (point) ended = true;
        point = true;
      } else if (c == '-' || c == '+') {
        if (started) {
          ended = true;
        } else if (!sign_read) {
          sign = c == '-' ? -1 : 1;
          sign_read = true;
        }
      } else {
        return false;
      }
      return true;
    }
  };

  // The value of a coordinate for its axis; only a changed axis is written.
  void assign(Axis axis, double value) {
    switch (axis) {
      case kX:
        if (set(x_, relative_ ? x_ + value : value)) add_field('X', x_ + x_offset_);
        return;
      case kY:
        if (set(y_, relative_ ? y_ + value : value)) add_field('Y', y_ + y_offset_);
        return;
      case kZ:
        // RML Z grows upwards, the machine's Z downwards.
        if (set(z_, relative_ ? z_ - value : -value)) {
          const double z = z_ + surface_;
          add_field('Z', zero_negative_ && z < 0 ? 0 : z);
        }
        flush();
        return;
    }
  }

  static bool set(double& axis, double value) {
    if (value == axis) return false;
    axis = value;
    return true;
  }

  void add_field(char letter, double value) {
    line_ += letter;
    append_fw(line_, value, digits_);
  }

  void flush() {
    if (line_.empty()) return;
    line_ += cmd::kTerminator;
    ++context_.channel.line_counter;
    write_line(context_, line_);
    line_.clear();
  }

  Context& context_;
  ConversionState& state_;
  const double scale_;
  const double x_offset_;
  const double y_offset_;
  const double surface_;
  const bool zero_negative_;
  const double max_feed_;
  const int digits_;

  bool relative_ = false;
  double x_ = 0, y_ = 0, z_ = 0;  // machine units before the offsets
  std::string line_;              // the axes changed by the triplet being read
};

}  // namespace

void convert_rml(Context& context) { RmlConverter(context).run(); }

}  // namespace vireo
