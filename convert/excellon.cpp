#include "convert/excellon.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"
#include "convert/driver.h"
#include "convert/emitters.h"
#include "convert/line_writer.h"
#include "convert/source_reader.h"
#include "convert/tool_change.h"
#include "core/context.h"
#include "preview/trace.h"

namespace vireo {
namespace {

constexpr std::string_view kToolChanger = "TC";
constexpr std::string_view kDrillStart = "M72";
constexpr std::string_view kHeaderStart = "M48";
constexpr std::string_view kDrilling = "  FORO    ";
constexpr std::string_view kIdle = "          ";
// A tool entry is the "T" and the two characters after it; sections are matched on as many.
constexpr std::size_t kToolCodeLength = 3;

bool tool_changer(const Context& context) { return context.settings.text(Slot::atc_excellon) == kToolChanger; }

// A text searched for a word whose only letter is its first ("M72", "T") in either case: the two
// spellings are looked for separately, each found position kept until a search starts past it.
class EitherCaseSearch {
 public:
  EitherCaseSearch(std::string_view text, std::string_view word) : text_(text) {
    upper_.word = word;
    lower_.word = word;
    lower_.word[0] = static_cast<char>(lower_.word[0] - 'A' + 'a');
  }
  // The first occurrence at or after `from`, or npos.
  std::size_t next(std::size_t from) {
    advance(upper_, from);
    advance(lower_, from);
    return std::min(upper_.found, lower_.found);
  }

 private:
  struct Spelling {
    std::string word;
    std::size_t found = 0;
    bool known = false;
  };
  void advance(Spelling& spelling, std::size_t from) {
    if (spelling.known && spelling.found >= from) return;  // npos stays npos
    spelling.found = text_.find(spelling.word, from);
    spelling.known = true;
  }

  std::string_view text_;
  Spelling upper_;
  Spelling lower_;
};

// The document text as the driver measured it.
std::string_view document_text(const Context& context) {
  const ConversionState& state = context.conversion;
  if (!state.source) throw RunError(err::kObjectNotSet, "Object variable or With block variable not set: no document");
  return state.source->text().substr(0, state.text_length);
}

// Where reading starts: after the first "M72". A file without one starts after its "M48" header
// word, or at its first character when it begins with something else (a tool select, a hole).
std::size_t drill_start(std::string_view text) {
  const std::size_t found = EitherCaseSearch(text, kDrillStart).next(0);
  if (found != std::string_view::npos) return found + kDrillStart.size();
  return text.starts_with(kHeaderStart) ? kHeaderStart.size() : 0;
}

// The number after "Z" of a working Z line; a surface-following tail ("go0"/"go1") is not part of it.
double z_value(std::string_view z_line, int digits) {
  return leading_number(z_line.substr(z_line.empty() ? 0 : 1, static_cast<std::size_t>(digits)));
}

// The Z moves of a hole, with the settings they need read once.
class DrillCycle {
 public:
  explicit DrillCycle(Context& context)
      : context_(context),
        state_(context.conversion),
        progressive_(context.settings.on(Slot::check_progressivo)),
        step_(static_cast<float>(context.settings.number(Slot::incremento_progressivo))),
        feed_(context.settings.text(Slot::vel_av)),
        return_feed_(context.settings.text(Slot::vel_rit)),
        rapid_feed_(context.settings.text(Slot::vel_rap)) {}

  void run() {
    ChannelState& channel = context_.channel;
    ++channel.line_counter;
    if (progressive_) pecks();
    channel.operation_text = kDrilling;
    write_line(context_, state_.plunge_feed_line, state_.cutting_z_line, "*");
    write_line(context_, feed_);
    if (context_.display.pulse_state != cmd::kBull) write_line(context_, context_.derived.bull);
    if (context_.display.pulse_state != cmd::kGlue) write_line(context_, context_.derived.glue);
    retract();
  }

 private:
  void retract() {
    context_.channel.operation_text = kIdle;
    write_line(context_, return_feed_, state_.travel_z_line, "*");
    write_line(context_, rapid_feed_);
  }

  // Progressive drilling: pecks from the travel depth down by the increment, each followed by the
  // retract, until the next one would be no more than one step short of the cutting depth. An
  // increment of 0 or less would never get there: the hole is drilled at full depth only.
  void pecks() {
    if (!(step_ > 0)) return;
    const int digits = context_.derived.digits;
    const double z_end = z_value(state_.cutting_z_line, digits);
    for (double z = z_value(state_.travel_z_line, digits); z <= z_end; z += step_) {
      context_.channel.operation_text = kDrilling;
      write_line(context_, state_.plunge_feed_line, "Z", fw(z, digits), "*");
      write_line(context_, feed_);
      retract();
      if (z + step_ >= z_end) break;
    }
  }

  Context& context_;
  const ConversionState& state_;
  const bool progressive_;
  const float step_;
  const std::string& feed_;
  const std::string& return_feed_;
  const std::string& rapid_feed_;
};

// What ended the scan of a pass.
enum class PassEnd { end_of_text, aborted };

class DrillProgram {
 public:
  explicit DrillProgram(Context& context)
      : context_(context),
        state_(context.conversion),
        by_tool_changer_(tool_changer(context)),
        scale_(context.derived.scale_excellon),
        x_offset_(context.settings.number(Slot::x_excellon)),
        y_offset_(context.settings.number(Slot::y_excellon)),
        digits_(context.derived.digits),
        cycle_(context) {}

  void run() {
    // One run is one program: the output (program file or view) starts afresh before its opening and
    // keeps every pass, and a stop asked for while a pass closes is still obeyed by the next one.
    context_.channel.output_started = false;
    state_.abort = false;
    program_start(context_);
    for (;;) {
      start_pass();
      if (scan() == PassEnd::aborted) {
        context_.channel.line.clear();
        program_end(context_);
        context_.host->set_job_control_enabled(JobControl::tool_ok, true);
        context_.host->set_job_control_enabled(JobControl::cancel_button, true);
        return;
      }
      pass_end(context_);
      std::string flag;
      repeat_pass(context_, flag);
      if (flag != "ripeti") break;
    }
    program_end(context_);
  }

 private:
  void start_pass() {
    selected_tool_ = context_.host->tool_list_text();
    x_field_.clear();
    y_field_.clear();
    context_.channel.line_counter = 0;
    rewind_source(context_);
    context_.host->set_job_control_enabled(JobControl::cancel_button, true);
    state_.read_cursor = drill_start(document_text(context_));
  }

  bool at_end() const { return state_.read_cursor >= state_.text_length; }

  // Line level: the lines outside the sections to drill are read whole and passed over.
  PassEnd scan() {
    for (;;) {
      if (at_end()) return PassEnd::end_of_text;
      if (state_.abort) return PassEnd::aborted;
      line_.clear();
      read_rest_of_line(line_);
      while (opens_section(line_)) {
        const std::optional<PassEnd> end = scan_holes();
        if (end) return *end;
      }
    }
  }

  // The tool check: with the tool changer every tool-select line changes the tool and opens a
  // section; one tool at a time only a line that starts like the chosen tool does.
  bool opens_section(const std::string& line) {
    if (!by_tool_changer_)
      return std::string_view(line).substr(0, kToolCodeLength) ==
             std::string_view(selected_tool_).substr(0, kToolCodeLength);
    if (line.empty() || line[0] != 'T') return false;
    // Two digits when the third character is one (T12, T100 gives 10), else one (T3, T3C1.0).
    const bool two_digits = line.size() > 2 && line[2] >= '0' && line[2] <= '9';
    context_.tools.requested = static_cast<int>(leading_number(std::string_view(line).substr(1, two_digits ? 2 : 1)));
    tool_change(context_);
    return true;
  }

  // Character level: X and Y words set their fields, a line end after a number drills a hole, a "T"
  // hands its line back to the tool check (nothing: the pass goes on there), an "M" ends the pass.
  std::optional<PassEnd> scan_holes() {
    for (;;) {
      if (at_end()) return PassEnd::end_of_text;
      if (state_.abort) return PassEnd::aborted;
      char c = read_char(context_);
      if (c == '\0') continue;
      while (c == 'X' || c == 'Y') c = read_word(c == 'X' ? x_field_ : y_field_, c);
      if (c == 'T') {
        line_.assign(1, 'T');
        read_rest_of_line(line_);
        return std::nullopt;
      }
      if (c == 'M') {
        state_.read_cursor = state_.text_length;
        return PassEnd::end_of_text;
      }
      if (c != '\0') continue;
      write_line(context_, x_field_, "*", y_field_, "*");
      cycle_.run();
    }
  }

  // Appends the rest of the current line, as read_line_rest reads it, to `line` (whose storage is
  // kept from line to line); the cursor ends on the first character of the next line.
  void read_rest_of_line(std::string& line) {
    for (char c = read_char(context_); c != '\0'; c = read_char(context_)) line += c;
  }

  // The characters after "X" or "Y" up to the next "X", "Y" or line end, read as a number scaled and
  // rounded half to even, plus the axis offset; Y is held in single precision. Returns the character
  // that ended the word ('\0' for the line end).
  char read_word(std::string& field, char axis) {
    number_.clear();
    char c = read_char(context_);
    while (c != 'X' && c != 'Y' && c != '\0') {
      number_ += c;
      c = read_char(context_);
    }
    // The machine holds coordinates in 32 bits: a larger one ends the conversion as an overflow.
    const long long whole = round_half_even(leading_number(number_) * scale_);
    if (whole > INT32_MAX || whole < INT32_MIN)
      throw RunError(err::kOverflow, "Overflow: coordinate " + number_.substr(0, 24));
    const double rounded = static_cast<double>(whole);
    const double value = axis == 'X' ? rounded + x_offset_ : static_cast<double>(static_cast<float>(rounded + y_offset_));
    field.assign(1, axis);
    append_fw(field, value, digits_);
    return c;
  }

  Context& context_;
  ConversionState& state_;
  const bool by_tool_changer_;
  const double scale_;
  const double x_offset_;
  const double y_offset_;
  const int digits_;
  DrillCycle cycle_;

  std::string selected_tool_;  // the tool list's text at the start of the pass
  std::string line_;           // the line being examined for a tool-select code
  std::string number_;         // the text of the coordinate being read
  std::string x_field_;
  std::string y_field_;
};

}  // namespace

void list_excellon_tools(Context& context) {
  if (tool_changer(context)) {
    context.conversion.listed_sink.clear();  // nothing listed, nothing to confirm
    convert_excellon(context);
    return;
  }
  Host& host = *context.host;
  host.set_job_control_enabled(JobControl::tool_list, true);
  host.clear_tool_list();
  host.set_job_control_enabled(JobControl::tool_ok, true);
  host.set_job_control_enabled(JobControl::cancel_button, true);
  context.conversion.listed_sink = context.channel.sink;
  const std::string_view text = document_text(context);
  std::size_t from = EitherCaseSearch(text, kDrillStart).next(0);
  if (from == std::string_view::npos) from = 0;
  std::string first;
  EitherCaseSearch tools(text, "T");
  for (std::size_t found = tools.next(from); found != std::string_view::npos; found = tools.next(found + 2)) {
    // A code shorter than three characters ends at its line end ("T1"), which is not part of it.
    std::string_view code = text.substr(found, kToolCodeLength);
    code = code.substr(0, code.find_first_of("\r\n"));
    host.add_tool_list_item(code);
    if (first.empty()) first = code;
  }
  host.set_tool_list_text(first);
}

void convert_excellon(Context& context) { DrillProgram(context).run(); }

void drill_cycle(Context& context) { DrillCycle(context).run(); }

ConversionOutcome confirm_drill_tool(Context& context) {
  Host& host = *context.host;
  host.set_job_control_enabled(JobControl::tool_ok, false);
  host.set_job_control_enabled(JobControl::cancel_button, true);
  // Every confirmation goes where the tools were listed for: the end of the previous program has
  // reset the sink, and the next one would otherwise go to no device at all. Without a listing (the
  // last drill conversion had the tool changer) there is nothing to confirm.
  if (context.conversion.listed_sink.empty()) return ConversionOutcome::cancelled;
  context.channel.sink = context.conversion.listed_sink;
  context.conversion.failure_number = 0;
  const ConversionOutcome outcome = run_conversion_step(context, [&] {
    convert_excellon(context);
    return ConversionOutcome::converted;
  });
  context.conversion.abort = false;
  if (outcome == ConversionOutcome::converted && context.conversion.listed_sink == sink::kFile && host.has_preview())
    build_trace(context, context.channel.program_file_name);
  return outcome;
}

}  // namespace vireo
