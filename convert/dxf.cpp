#include "convert/dxf.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <string>
#include <string_view>

#include "convert/emitters.h"
#include "convert/geometry_writers.h"
#include "base/number_text.h"
#include "core/context.h"

namespace vireo {
namespace {

constexpr std::string_view kSection = "ENTITIES";
constexpr std::string_view kNoSection = "SEZIONE ENTITIES NON TROVATA";
constexpr std::string_view kBadSectionLine = "ERRORE LINEA ENTITIES";
constexpr std::string_view kRepeat = "ripeti";

// The group codes an entity can carry; each has its seen-flag.
enum Code { x_start, x_end, y_start, y_end, radius, start_angle, end_angle, kCodeCount };

struct CodeLine {
  std::string_view text;  // as a right-aligned code line holds it, with the blank in front
  Code code;
};
// Tested in this order; the first found wins.
constexpr CodeLine kCodeLines[] = {
    {" 10", x_start}, {" 11", x_end}, {" 20", y_start}, {" 21", y_end}, {" 40", radius},
    {" 50", start_angle}, {" 51", end_angle},
};

bool contains(std::string_view line, std::string_view word) { return line.find(word) != std::string_view::npos; }

bool same_letters(char a, char b) {
  return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

class DxfConverter {
 public:
  explicit DxfConverter(Context& context)
      : context_(context),
        state_(context.conversion),
        g_(context.conversion.geometry),
        scale_(context.derived.scale_dxf),
        x_offset_(context.settings.number(Slot::x_dxf)),
        y_offset_(context.settings.number(Slot::y_dxf)),
        arc_step_(static_cast<float>(context.settings.number(Slot::gradi_dxf))) {}

  void run() {
    reset_knife(context_);
    program_start(context_);
    for (;;) {
      context_.channel.error_text.clear();
      g_.forget_position();
      if (!find_section() || !convert_entities()) return;
      pass_end(context_);
      std::string flag;
      repeat_pass(context_, flag);
      if (flag != kRepeat) break;
    }
    program_end(context_);
  }

 private:
  // Places the reader on the section's header line, searched case-insensitively from the top. A
  // drawing without it, or whose header line is more than the word, ends the program with a message.
  bool find_section() {
    const std::string_view text = state_.source->text().substr(0, state_.text_length);
    const auto found = std::search(text.begin(), text.end(), kSection.begin(), kSection.end(), same_letters);
    if (found == text.end()) return refuse(kNoSection);
    state_.read_cursor = static_cast<std::size_t>(found - text.begin());
    state_.source->show_position(state_.read_cursor);
    if (read_line() != kSection) return refuse(kBadSectionLine);
    return true;
  }

  bool refuse(std::string_view message) {
    state_.refused = true;
    program_end(context_);
    context_.host->message_box(message);
    return false;
  }

  bool at_end() const { return state_.read_cursor >= state_.text_length; }

  // The section's lines up to "ENDSEC", or up to the end of the text when it has none. Returns false
  // when the operator stopped the run (the program is ended then).
  bool convert_entities() {
    for (;;) {
      if (state_.abort) {
        context_.channel.line.clear();
        program_end(context_);
        return false;
      }
      if (at_end()) return true;
      const std::string& line = read_line();
      if (contains(line, "ENDSEC")) return true;
      if (contains(line, "XLINE") || contains(line, "MLINE") || contains(line, "SPLINE")) continue;
      if (contains(line, "LINE") && line.size() <= 5) {
        line_entity();
      } else if (contains(line, "POINT")) {
        point_entity();
      } else if (contains(line, "CIRCLE")) {
        circle_entity();
      } else if (contains(line, "ARC")) {
        arc_entity();
      }
    }
  }

  // The group codes of one entity, up to the next group code 0 (a line holding " 0"), the end of the
  // text, or the operator's stop. Coordinates and radii are scaled to hundredths, angles kept.
  void read_group_codes() {
    seen_.fill(false);
    while (!at_end() && !state_.abort) {
      const std::string& line = read_line();
      if (contains(line, " 0")) return;
      const auto code = std::find_if(std::begin(kCodeLines), std::end(kCodeLines),
                                     [&](const CodeLine& c) { return contains(line, c.text); });
      if (code == std::end(kCodeLines)) continue;
      const double value = read_value();
      seen_[code->code] = true;
      switch (code->code) {
        case x_start: g_.start_x = value * 100 * scale_; break;
        case x_end: g_.end_x = value * 100 * scale_; break;
        case y_start: g_.start_y = value * 100 * scale_; break;
        case y_end: g_.end_y = value * 100 * scale_; break;
        case radius: g_.radius = value * 100 * scale_; break;
        case start_angle: g_.start_angle = value; break;
        case end_angle: g_.end_angle = value; break;
        case kCodeCount: break;
      }
    }
  }

  // Reads the entity's codes; false, with the error counted, when one it needs is missing.
  bool has_codes(std::initializer_list<Code> needed, std::string_view error) {
    read_group_codes();
    if (std::all_of(needed.begin(), needed.end(), [&](Code c) { return seen_[c]; })) return true;
    context_.channel.error_text = error;
    ++context_.channel.error_count;
    return false;
  }

  void line_entity() {
    if (!has_codes({x_start, y_start, x_end, y_end}, " code line invalido ")) return;
    g_.start_x += x_offset_;
    g_.start_y += y_offset_;
    move_to_start(context_);
    g_.end_x += x_offset_;
    g_.end_y += y_offset_;
    cut_line(context_);
  }

  // A plunge at the point, without movement.
  void point_entity() {
    if (!has_codes({x_start, y_start}, " code punto invalido ")) return;
    g_.end_x = g_.start_x;
    g_.end_y = g_.start_y;
    g_.start_x += x_offset_;
    g_.start_y += y_offset_;
    move_to_start(context_);
    g_.end_x += x_offset_;
    g_.end_y += y_offset_;
    cut_line(context_);
  }

  void circle_entity() {
    if (!has_codes({x_start, y_start, radius}, " code circle invalido ")) return;
    g_.start_angle = 0;
    g_.end_angle = 360;
    cut_arc_from_codes();
  }

  void arc_entity() {
    if (!has_codes({x_start, y_start, radius, start_angle, end_angle}, " code arc invalido ")) return;
    cut_arc_from_codes();
  }

  void cut_arc_from_codes() {
    g_.centre_x = g_.start_x + x_offset_;
    g_.centre_y = g_.start_y + y_offset_;
    g_.arc_step = arc_step_;
    cut_arc_ccw(context_);
  }

  // read_line_rest, a whole line at a time: the line is taken from the text in one piece and the run
  // of line ends after it is skipped. The events are let through once per character read, as
  // read_chars does: the desktop program's event turns stay short and Esc is seen at once.
  const std::string& read_line() {
    const std::string_view text = state_.source->text().substr(0, state_.text_length);
    const std::size_t start = std::min(state_.read_cursor, text.size());
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    for (std::size_t i = start; i <= end; ++i) context_.host->pump_events();
    line_.assign(text.substr(start, end - start));
    state_.read_cursor = skip_line_ends(text, end);
    state_.source->cursor_moved(state_.read_cursor, 0);
    return line_;
  }

  // read_number on a value line, read in place: digits, signs and decimal points ("," or ".") make
  // the number; a blank or a line end ends it and is consumed, any other character ends it and stays.
  double read_value() {
    context_.host->pump_events();
    const std::string_view text = state_.source->text().substr(0, state_.text_length);
    std::size_t at = std::min(state_.read_cursor, text.size());
    number_.clear();
    for (; at < text.size(); ++at) {
      const char c = text[at];
      if (c == ',' || c == '.') number_ += '.';
      else if (c == '+' || c == '-' || (c >= '0' && c <= '9')) number_ += c;
      else break;
    }
    if (at < text.size() && text[at] == ' ') ++at;
    else if (at < text.size() && (text[at] == '\r' || text[at] == '\n')) at = skip_line_ends(text, at);
    state_.read_cursor = at;
    state_.source->cursor_moved(at, 0);
    return leading_number(number_);
  }

  static std::size_t skip_line_ends(std::string_view text, std::size_t at) {
    while (at < text.size() && (text[at] == '\r' || text[at] == '\n')) ++at;
    return at;
  }

  Context& context_;
  ConversionState& state_;
  GeometryRegisters& g_;
  const double scale_;
  const double x_offset_;
  const double y_offset_;
  const float arc_step_;
  std::array<bool, kCodeCount> seen_{};
  std::string line_;
  std::string number_;
};

}  // namespace

void convert_dxf(Context& context) { DxfConverter(context).run(); }

}  // namespace vireo
