#include "convert/excellon.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/command_language.h"
#include "base/number_text.h"
#include "base/run_error.h"
#include "convert/driver.h"
#include "convert/emitters.h"
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

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The first occurrence of `what` (upper case) in `text` from `from` on, in either case; npos if none.
std::size_t find_either_case(std::string_view text, std::string_view what, std::size_t from) {
  for (std::size_t p = from; p + what.size() <= text.size(); ++p) {
    std::size_t k = 0;
    while (k < what.size() && upper(text[p + k]) == what[k]) ++k;
    if (k == what.size()) return p;
  }
  return std::string_view::npos;
}

// The document text as the driver measured it.
std::string_view document_text(const Context& context) {
  const ConversionState& state = context.conversion;
  if (!state.source) throw RunError(err::kObjectNotSet, "Object variable or With block variable not set: no document");
  return state.source->text().substr(0, state.text_length);
}

// Where reading starts: after the first "M72". A file without one starts after its "M48" header
// word, or at its first character when it begins with something else (a tool select, a hole).
std::size_t drill_start(std::string_view text) {
  const std::size_t found = find_either_case(text, kDrillStart, 0);
  if (found != std::string_view::npos) return found + kDrillStart.size();
  return text.starts_with(kHeaderStart) ? kHeaderStart.size() : 0;
}

// The number after "Z" of a working Z line; a surface-following tail ("go0"/"go1") is not part of it.
double z_value(std::string_view z_line, int digits) {
  return leading_number(z_line.substr(z_line.empty() ? 0 : 1, static_cast<std::size_t>(digits)));
}

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
        digits_(context.derived.digits) {}

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
      line_ = read_line_rest(context_);
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
        line_ = "T" + read_line_rest(context_);
        return std::nullopt;
      }
      if (c == 'M') {
        state_.read_cursor = state_.text_length;
        return PassEnd::end_of_text;
      }
      if (c != '\0') continue;
      write_line(context_, x_field_, "*", y_field_, "*");
      drill_cycle(context_);
    }
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

  std::string selected_tool_;  // the tool list's text at the start of the pass
  std::string line_;           // the line being examined for a tool-select code
  std::string number_;         // the text of the coordinate being read
  std::string x_field_;
  std::string y_field_;
};

// The pecks of progressive drilling: from the travel depth down by the increment, each one followed
// by the return to the travel height, until the next one would be no more than one step short of the
// cutting depth. An increment of 0 or less would never get there: the hole is drilled at full depth.
void drill_pecks(Context& context) {
  const SettingsRecord& settings = context.settings;
  const ConversionState& state = context.conversion;
  const float step = static_cast<float>(settings.number(Slot::incremento_progressivo));
  if (!(step > 0)) return;
  const double z_end = z_value(state.cutting_z_line, context.derived.digits);
  for (double z = z_value(state.travel_z_line, context.derived.digits); z <= z_end; z += step) {
    context.channel.operation_text = kDrilling;
    write_line(context, state.plunge_feed_line, "Z", fw(z, context.derived.digits), "*");
    write_line(context, settings.text(Slot::vel_av));
    context.channel.operation_text = kIdle;
    write_line(context, settings.text(Slot::vel_rit), state.travel_z_line, "*");
    write_line(context, settings.text(Slot::vel_rap));
    if (z + step >= z_end) break;
  }
}

}  // namespace

void list_excellon_tools(Context& context) {
  if (tool_changer(context)) {
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
  std::size_t from = find_either_case(text, kDrillStart, 0);
  if (from == std::string_view::npos) from = 0;
  std::string first;
  for (std::size_t found = find_either_case(text, "T", from); found != std::string_view::npos;
       found = find_either_case(text, "T", found + 2)) {
    // A code shorter than three characters ends at its line end ("T1"), which is not part of it.
    std::string_view code = text.substr(found, kToolCodeLength);
    code = code.substr(0, code.find_first_of("\r\n"));
    host.add_tool_list_item(code);
    if (first.empty()) first = code;
  }
  host.set_tool_list_text(first);
}

void convert_excellon(Context& context) { DrillProgram(context).run(); }

void drill_cycle(Context& context) {
  const SettingsRecord& settings = context.settings;
  const ConversionState& state = context.conversion;
  ChannelState& channel = context.channel;
  ++channel.line_counter;
  if (settings.on(Slot::check_progressivo)) drill_pecks(context);
  channel.operation_text = kDrilling;
  write_line(context, state.plunge_feed_line, state.cutting_z_line, "*");
  write_line(context, settings.text(Slot::vel_av));
  if (context.display.pulse_state != cmd::kBull) write_line(context, context.derived.bull);
  if (context.display.pulse_state != cmd::kGlue) write_line(context, context.derived.glue);
  channel.operation_text = kIdle;
  write_line(context, settings.text(Slot::vel_rit), state.travel_z_line, "*");
  write_line(context, settings.text(Slot::vel_rap));
}

ConversionOutcome confirm_drill_tool(Context& context) {
  Host& host = *context.host;
  host.set_job_control_enabled(JobControl::tool_ok, false);
  host.set_job_control_enabled(JobControl::cancel_button, true);
  // Every confirmation goes where the tools were listed for: the end of the previous program has
  // reset the sink, and the next one would otherwise go to no device at all.
  context.channel.sink = context.conversion.listed_sink;
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
