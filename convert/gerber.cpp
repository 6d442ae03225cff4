#include "convert/gerber.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "core/context.h"
#include "convert/emitters.h"
#include "convert/source_reader.h"
#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"
#include "base/short_copy.h"

namespace vireo {
namespace {

constexpr std::string_view kPenDown = "01";
constexpr std::string_view kPenUp = "02";
constexpr std::string_view kFlash = "03";
constexpr std::string_view kMilling = "FRESATURA ";
constexpr std::string_view kDrilling = "  FORO    ";
constexpr std::string_view kIdle = "          ";

class GerberConverter {
 public:
  explicit GerberConverter(Context& context)
      : context_(context),
        state_(context.conversion),
        scale_(context.derived.scale_gerber),
        x_offset_(context.settings.number(Slot::x_gerber)),
        y_offset_(context.settings.number(Slot::y_gerber)),
        digits_count_(context.derived.digits),
        return_feed_(context.settings.text(Slot::vel_rit)),
        rapid_feed_(context.settings.text(Slot::vel_rap)) {}

  void run() {
    state_.gerber = {};
    program_start(context_);
    for (;;) {
      state_.geometry.forget_position();
      while (state_.read_cursor < state_.text_length) {
        if (state_.abort) {
          context_.channel.line.clear();
          program_end(context_);
          return;
        }
        convert_line();
      }
      pass_end(context_);
      std::string flag;
      repeat_pass(context_, flag);
      if (flag != "ripeti") break;
    }
    program_end(context_);
  }

 private:
  // The tokens up to the next line end, read with one reader: the host processes its events once per
  // line. A stop asked for while a token's lines were written is seen before the next token.
  void convert_line() {
    TokenReader reader(context_);
    char last = '\0';
    do {
      last = dispatch(reader, reader.next());
    } while (last != '\0' && !state_.abort && state_.read_cursor < state_.text_length);
  }

  // One token; a coordinate hands the character that ended its number back to be dispatched too.
  // Returns the last token, '\0' when the line (or the text) ended.
  char dispatch(TokenReader& reader, char token) {
    for (;;) {
      switch (token) {
        case 'X':
        case 'Y':
          token = read_coordinate(reader, token);
          continue;
        case '%':
          read_line_rest(context_);
          return '\0';
        case 'D':
          d_code(reader.take(2));
          return token;
        case '*':
          move(false);
          return token;
        default:
          return token;  // G and M codes, stray digits and line ends are ignored
      }
    }
  }

  // The digits and "-" after "X" or "Y" (a decimal point ends the number), scaled and rounded half
  // to even, plus the offset; Y is held in single precision. The axis field is written at once.
  // Returns the character that ended the number.
  char read_coordinate(TokenReader& reader, char axis) {
    DigitRun run;
    const std::string_view digits = reader.take_while([&run](char c) { return run.take(c); });
    const char end = reader.next();
    // The machine holds coordinates in 32 bits: a larger one ends the conversion as an overflow.
    const long long whole = round_half_even(run.value(digits) * scale_);
    if (whole > INT32_MAX || whole < INT32_MIN)
      throw RunError(err::kOverflow, "Overflow: coordinate " + std::string(digits.substr(0, 24)));
    const double rounded = static_cast<double>(whole);
    const bool y_axis = axis == 'Y';
    double value = 0;
    if (y_axis) {
      const float y = static_cast<float>(rounded + y_offset_);
      state_.geometry.last_y = y;
      value = y;
    } else {
      value = rounded + x_offset_;
      state_.geometry.last_x = value;
    }
    (y_axis ? y_field_ : x_field_) = AxisField(axis, value, digits_count_);
    return end;
  }

  void d_code(std::string_view code) {
    // A repeated D01 or D02 neither plunges nor lifts again; a flash always drills.
    std::string& last_d = state_.gerber.last_d;
    if (code != kFlash && code == last_d) return;
    assign_short(last_d, code);
    if (code == kPenDown) {
      plunge(kMilling);
    } else if (code == kPenUp) {
      lift();
    } else if (code == kFlash) {
      lift();
      move(true);
      plunge(kDrilling);
      if (context_.display.pulse_state != cmd::kGlue) write_line(context_, context_.derived.glue);
      show_operation(context_, kIdle);
      write_line(context_, return_feed_, state_.travel_z_line, cmd::kTerminator);
      write_line(context_, rapid_feed_);
    }
  }

  // Tool down at the cutting depth with the plunge feed, then the cutting feed.
  void plunge(std::string_view operation) {
    ++context_.channel.line_counter;
    show_operation(context_, operation);
    write_line(context_, state_.plunge_feed_line, state_.cutting_z_line, cmd::kTerminator);
    write_line(context_, state_.feed_setting);
    if (context_.display.pulse_state != cmd::kBull) write_line(context_, context_.derived.bull);
  }

  // Tool up to the travel Z with the return feed, then the rapid feed.
  void lift() {
    if (context_.display.pulse_state != cmd::kGlue) write_line(context_, context_.derived.glue);
    show_operation(context_, kIdle);
    write_line(context_, return_feed_, state_.travel_z_line, cmd::kTerminator);
    write_line(context_, rapid_feed_);
  }

  // The block's coordinates: one interpolated move while drawing, the two axes one after the other
  // while moving or before a flash, nothing otherwise. The fields are emptied in every case.
  void move(bool before_flash) {
    const std::string& last_d = state_.gerber.last_d;
    if (last_d == kPenDown) {
      ++context_.channel.line_counter;
      show_operation(context_, kMilling);
      write_line(context_, x_field_.text(), y_field_.text(), cmd::kTerminator, context_.derived.vertex);
    } else if (last_d == kPenUp || before_flash) {
      write_line(context_, x_field_.text(), cmd::kTerminator);
      write_line(context_, y_field_.text(), cmd::kTerminator);
    }
    x_field_ = {};
    y_field_ = {};
  }

  Context& context_;
  ConversionState& state_;
  const double scale_;
  const double x_offset_;
  const double y_offset_;
  const int digits_count_;
  const std::string return_feed_;
  const std::string rapid_feed_;

  // The axes the block named so far; empty for an axis it did not name.
  AxisField x_field_;
  AxisField y_field_;
};

}  // namespace

void convert_gerber(Context& context) { GerberConverter(context).run(); }

}  // namespace vireo
