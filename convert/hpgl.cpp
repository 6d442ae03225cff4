#include "convert/hpgl.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"
#include "convert/emitters.h"
#include "convert/geometry_writers.h"
#include "convert/source_reader.h"
#include "convert/tool_change.h"
#include "core/context.h"

namespace vireo {
namespace {

constexpr std::string_view kToolChange = "TC";
constexpr std::string_view kDepths = "prof_var";
constexpr std::string_view kToolChangeAndDepths = "TC+prof_var";
constexpr std::string_view kRepeat = "ripeti";
constexpr std::string_view kDrilling = "  FORO   ";
constexpr std::string_view kLeft = "   USCITA   ";
constexpr std::string_view kPenAboveTravel = " penna sopra la quota di spostamento ";
constexpr char kEndOfText = '\x03';
constexpr int kPens = 8;
constexpr int kCancelled = 99;
constexpr int kNotAnswered = -1;
constexpr long long kNoSuchPen = 1000000;
constexpr double kPlotterUnit = 2.5;  // hundredths of a millimetre per plotter unit
constexpr double kDefaultChord = 5;
constexpr double kZeroChord = 2;
constexpr double kLargestChord = 180;
constexpr double kFullTurn = 720;     // added to an arc's start angle
constexpr int kOperatorWaitMs = 50;

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A number of a command and the character that ended it ('\0' for a line end or the end of the text).
struct HpNumber {
  std::optional<double> value;  // absent when no character of a number was read
  char terminator = '\0';
  bool ends_command() const { return terminator == ';' || terminator == '\0' || is_letter(terminator); }
};

struct Point {
  double x, y;
};

class HpglConverter {
 public:
  explicit HpglConverter(Context& context)
      : context_(context),
        state_(context.conversion),
        g_(context.conversion.geometry),
        mode_(context.settings.text(Slot::atc_hpgl)),
        unit_(kPlotterUnit * context.derived.scale_hpgl),
        x_offset_(context.settings.number(Slot::x_hp)),
        y_offset_(context.settings.number(Slot::y_hp)) {}

  void run() {
    ChannelState& channel = context_.channel;
    if (mode_ == kToolChange) channel.operation_text = "   TC-ON  ";
    else if (mode_ == kDepths) channel.operation_text = "   ";
    else if (mode_ == kToolChangeAndDepths) channel.operation_text = "TC-ON-PROF";
    if (pen_depths()) {
      const SettingsRecord& settings = context_.settings;
      state_.travel_z_line = "Z" + fw(settings.number(Slot::zsuperf_hp) + settings.number(Slot::ziniz_hp),
                                      context_.derived.digits);
    }
    program_start(context_);
    for (;;) {
      start_pass();
      while (state_.read_cursor < state_.text_length) {
        if (state_.abort) {
          channel.line.clear();
          program_end(context_);
          return;
        }
        // One reader per command: the host processes its events once per command.
        TokenReader reader(context_);
        command(reader, reader.next());
      }
      pass_end(context_);
      std::string flag;
      repeat_pass(context_, flag);
      if (flag != kRepeat) break;
    }
    program_end(context_);
  }

 private:
  bool pen_depths() const { return mode_ == kDepths || mode_ == kToolChangeAndDepths; }

  void start_pass() {
    pen_down_ = false;
    relative_ = false;
    current_ = {kUnknownPosition, kUnknownPosition};
    hole_ = false;
    g_.forget_position();
  }

  // One command, by its first letter; anything before a capital letter is skipped.
  void command(TokenReader& reader, char c) {
    switch (c) {
      case 'P':
        switch (char second = reader.next()) {
          case 'U': pen_up(reader); break;
          case 'D': pen_down(reader); break;
          case 'A': relative_ = false; moves(reader); break;
          case 'R': relative_ = true; moves(reader); break;
          default: unread(second);
        }
        break;
      case 'A':
        switch (char second = reader.next()) {
          case 'A': arc(reader, false); break;
          case 'R': arc(reader, true); break;
          default: unread(second);
        }
        break;
      case 'C':
        if (char second = reader.next(); second == 'I') circle(reader);
        else skip_command(reader, second);
        break;
      case 'S':
        if (char second = reader.next(); second == 'P') select_pen(reader);
        else skip_command(reader, second);
        break;
      case 'I':
        skip_command(reader, '\0');
        break;
      default:
        break;  // other letters and every other character, one at a time
    }
  }

  // A second letter that makes no known command is read again as a command of its own.
  void unread(char c) {
    if (c == '\0' || state_.read_cursor == 0) return;
    --state_.read_cursor;
    state_.source->cursor_moved(state_.read_cursor, 0);
  }

  // Skips to the command's ";" (or an end-of-text character), unless `last` already was one.
  void skip_command(TokenReader& reader, char last) {
    for (char c = last; c != ';' && c != kEndOfText;) {
      if (state_.read_cursor >= state_.text_length) return;
      c = reader.next();
    }
  }

  // Blanks, then the run of characters up to a letter, ",", ";", a blank or a line end; that
  // character is read too (a line end with the run of line ends after it). Read in place, its value
  // worked out once.
  static HpNumber number(TokenReader& reader) {
    reader.take_while([](char c) { return c == ' '; });
    const std::string_view run = reader.take_while([](char c) { return !ends_number(c); });
    HpNumber n;
    if (!run.empty()) n.value = leading_number(run);
    n.terminator = reader.next();
    return n;
  }

  static bool ends_number(char c) { return c == ',' || c == ';' || c == ' ' || c == '\0' || is_letter(c); }

  // The coordinate pairs of a command, each handed to `to` as a target; returns how many there were.
  template <typename Target>
  int pairs(TokenReader& reader, Target to) {
    int count = 0;
    for (;;) {
      const HpNumber x = number(reader);
      if (!x.value || x.ends_command()) return count;
      const HpNumber y = number(reader);
      if (!y.value) return count;
      to(target(*x.value, *y.value, relative_));
      ++count;
      if (y.ends_command()) return count;
    }
  }

  Point target(double x, double y, bool relative) const {
    if (relative) return {current_.x + x * unit_, current_.y + y * unit_};
    return {x * unit_ + x_offset_, y * unit_ + y_offset_};
  }

  void pen_up(TokenReader& reader) {
    pen_down_ = false;
    if (pairs(reader, [&](Point p) { travel_to(p); }) > 0) return;
    if (context_.display.pulse_state != cmd::kGlue) write_line(context_, context_.derived.glue);
    write_line(context_, context_.settings.text(Slot::vel_rit), state_.travel_z_line, "*");
    write_line(context_, context_.settings.text(Slot::vel_rap));
    if (hole_) {
      ++context_.channel.line_counter;
      hole_ = false;
    }
  }

  void pen_down(TokenReader& reader) {
    pen_down_ = true;
    if (pairs(reader, [&](Point p) { cut_to(p); }) > 0) return;
    // A drilled point: the plunge where the pen stands.
    return_to_current();
    write_line(context_, state_.plunge_feed_line, state_.cutting_z_line, "*");
    write_line(context_, state_.feed_setting);
    if (context_.display.pulse_state != cmd::kBull) write_line(context_, context_.derived.bull);
    hole_ = true;
    context_.channel.operation_text = kDrilling;
  }

  void moves(TokenReader& reader) {
    pairs(reader, [&](Point p) { pen_down_ ? cut_to(p) : travel_to(p); });
  }

  void travel_to(Point p) {
    g_.start_x = p.x;
    g_.start_y = p.y;
    move_to_start(context_);
    current_ = p;
  }

  void cut_to(Point p) {
    return_to_current();
    g_.end_x = p.x;
    g_.end_y = p.y;
    cut_line(context_);
    current_ = p;
  }

  // After a tool change the machine stands at the changer or the parking position: the pen goes back
  // to where it was before it cuts on.
  void return_to_current() {
    if (g_.last_x != kUnknownPosition || current_.x == kUnknownPosition) return;
    g_.start_x = current_.x;
    g_.start_y = current_.y;
    move_to_start(context_);
  }

  // A chord angle as given (its size), 0 made 2 degrees.
  static double chord_of(const HpNumber& n) {
    if (!n.value) return kDefaultChord;
    const double chord = std::fabs(*n.value);
    return chord == 0 ? kZeroChord : chord;
  }

  // AA and AR: round a centre from the current point by a sweep angle, clockwise when it is not
  // positive.
  void arc(TokenReader& reader, bool relative) {
    const HpNumber cx = number(reader);
    if (!cx.value || cx.ends_command()) return;
    const HpNumber cy = number(reader);
    if (!cy.value || cy.ends_command()) return;
    const HpNumber sweep = number(reader);
    if (!sweep.value) return;
    HpNumber chord;
    if (!sweep.ends_command()) chord = number(reader);
    double step = chord_of(chord);
    if (step > kLargestChord) step = kLargestChord;

    const Point centre = target(*cx.value, *cy.value, relative);
    const double dx = current_.x - centre.x;
    const double dy = current_.y - centre.y;
    g_.centre_x = centre.x;
    g_.centre_y = centre.y;
    g_.radius = std::sqrt(dx * dx + dy * dy);
    g_.start_angle = direction_degrees(dx, dy) + kFullTurn;
    g_.end_angle = g_.start_angle + *sweep.value;
    g_.arc_step = static_cast<float>(step);
    const double end_radians = g_.end_angle * 3.14159265358979 / 180;
    const Point end = {centre.x + g_.radius * std::cos(end_radians), centre.y + g_.radius * std::sin(end_radians)};
    if (g_.end_angle <= g_.start_angle) cut_arc_cw(context_);
    else cut_arc_ccw(context_);
    current_ = end;
  }

  // CI: a full circle round the current point; the pen stays at the centre.
  void circle(TokenReader& reader) {
    const HpNumber radius = number(reader);
    if (!radius.value) return;
    HpNumber chord;
    if (!radius.ends_command()) chord = number(reader);
    g_.centre_x = current_.x;
    g_.centre_y = current_.y;
    g_.radius = *radius.value * unit_;
    g_.start_angle = 0;
    g_.end_angle = 360;
    g_.arc_step = static_cast<float>(chord_of(chord));
    cut_arc_ccw(context_);
  }

  void select_pen(TokenReader& reader) {
    const HpNumber n = number(reader);
    const double value = n.value.value_or(0);
    ToolState& tools = context_.tools;
    // Beyond a million no pen differs from another: all of them are asked for.
    tools.requested = static_cast<int>(std::clamp<long long>(int_part(value), -kNoSuchPen, kNoSuchPen));
    if (mode_ == kToolChange || mode_ == kToolChangeAndDepths) tool_change(context_);
    if (pen_depths()) pen_settings(tools.requested);
  }

  // A pen's depth, feed and spindle speed; a pen outside 1 to 8 is asked for in the tool window.
  void pen_settings(int pen) {
    const SettingsRecord& settings = context_.settings;
    for (;;) {
      if (pen == 0) {
        state_.cutting_z_line = state_.travel_z_line;
        state_.feed_setting = settings.text(Slot::vel_av);
        format_feed(context_);
        return;
      }
      if (pen >= 1 && pen <= kPens) {
        set_pen_depths(context_, pen);
        write_line(context_, " ", settings.text(Slot::speed, pen - 1), " T", fw(settings.number(Slot::Time_RUN), 5), " ");
        return;
      }
      write_line(context_, cmd::kSpindleStop);
      if (!ask_for_pen(pen)) {
        context_.channel.message_text = kLeft;
        update_status(context_);
        return;
      }
      pen = context_.tools.requested;
    }
  }

  // The tool window asks for a pen; false when the operator cancelled it.
  bool ask_for_pen(int pen) {
    ToolState& tools = context_.tools;
    if (!tools.manual_wait) tools.tool_request_mode = true;
    struct EndRequestMode {
      ToolState& tools;
      ~EndRequestMode() { tools.tool_request_mode = false; }
    } end_request_mode{tools};
    tools.tool_choice = kNotAnswered;
    context_.host->show_tool_window("REQUEST TOOL " + std::to_string(pen), false, true);
    // A front end that opened no window cannot answer: the command ends instead of asking for ever.
    if (!tools.tool_window_wait && tools.tool_choice == kNotAnswered)
      throw RunError(err::kObjectNotSet, "Object variable or With block variable not set");
    while (tools.tool_window_wait) context_.host->wait_events(kOperatorWaitMs);
    return tools.tool_choice != kCancelled;
  }

  Context& context_;
  ConversionState& state_;
  GeometryRegisters& g_;
  const std::string mode_;
  const double unit_;
  const double x_offset_;
  const double y_offset_;

  bool pen_down_ = false;
  bool relative_ = false;
  Point current_{kUnknownPosition, kUnknownPosition};
  bool hole_ = false;
};

}  // namespace

void convert_hpgl(Context& context) { HpglConverter(context).run(); }

void set_pen_depths(Context& context, int pen) {
  ConversionState& state = context.conversion;
  const SettingsRecord& settings = context.settings;
  const int digits = context.derived.digits;
  const double surface = settings.number(Slot::zsuperf_hp);
  const double travel = surface + settings.number(Slot::ziniz_hp);
  const double cutting =
      surface + settings.number(Slot::pen, pen - 1) + state.pass_counter * settings.number(Slot::incr_passate);
  state.travel_z_line = "Z" + fw(travel, digits);
  if (cutting < travel) {
    context.channel.error_text = kPenAboveTravel;
    ++context.channel.error_count;
    state.cutting_z_line = state.travel_z_line;
  } else {
    state.cutting_z_line = "Z" + fw(cutting, digits);
  }
  state.feed_setting = settings.text(Slot::feed, pen - 1);
  format_feed(context);
}

}  // namespace vireo
