#include "convert/source_reader.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>
#include <string_view>

#include "core/context.h"
#include "base/number_text.h"
#include "base/run_error.h"

namespace vireo {
namespace {

// The copy taken for a program-file conversion: nothing to show.
class CopySource : public SourceText {
 public:
  explicit CopySource(std::string_view text) { text_ = text; }
};

// The document view. Moving a text widget's selection per character would cost more than the whole
// conversion, so the reader keeps the cursor and the view shows it at most every ~15 ms; the clock is
// looked at once per 256 reads.
class ViewSource : public SourceText {
 public:
  explicit ViewSource(TextView& view) : view_(view), snapshot_(view.snapshot()) {
    text_ = *snapshot_;
    shows_progress_ = true;
  }

  void show_position(std::size_t cursor) override { show(cursor, 0); }

 protected:
  void show_progress(std::size_t cursor, std::size_t count) override {
    if (++reads_ % kReadsPerClockLook != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - shown_at_ < kCadence) return;
    shown_at_ = now;
    show(cursor, count);
  }

 private:
  static constexpr unsigned kReadsPerClockLook = 256;
  static constexpr std::chrono::milliseconds kCadence{15};

  void show(std::size_t cursor, std::size_t count) {
    view_.set_selection_start(static_cast<long>(cursor));
    view_.set_selection_length(static_cast<long>(count));
  }

  TextView& view_;
  std::shared_ptr<const std::string> snapshot_;
  unsigned reads_ = 0;
  std::chrono::steady_clock::time_point shown_at_{};
};

}  // namespace

void read_from_copy(Context& context) {
  ConversionState& state = context.conversion;
  const std::string_view text = state.source_text ? std::string_view(*state.source_text) : std::string_view();
  state.source = std::make_unique<CopySource>(text);
  state.text_length = std::min(state.text_length, text.size());
}

void read_from_view(Context& context, TextView& view) {
  ConversionState& state = context.conversion;
  state.source = std::make_unique<ViewSource>(view);
  state.text_length = std::min(state.text_length, state.source->text().size());
}

std::string read_chars(Context& context, std::size_t count) { return std::string(read_chars_in_place(context, count)); }

std::string_view TokenReader::take(std::size_t count) {
  if (!from_) no_source();
  const std::size_t start = std::min(state_.read_cursor, text_.size());
  const std::string_view result = text_.substr(start, count);
  state_.read_cursor = start + result.size();
  from_->cursor_moved(state_.read_cursor, result.size());
  if (!(result.empty() || (result.size() == 1 && line_end(result[0])))) return result;
  skip_line_ends();
  return {};
}

// After a carriage return, a line feed or nothing read: skips the rest of the run of line ends. The
// cursor is tested before each character, so the character after the run is never lost, not even the
// last one of the text.
void TokenReader::skip_line_ends() {
  while (state_.read_cursor < text_.size() && line_end(text_[state_.read_cursor])) ++state_.read_cursor;
  from_->cursor_moved(state_.read_cursor, 0);
}

void TokenReader::no_source() {
  throw RunError(err::kObjectNotSet, "Object variable or With block variable not set: no source text");
}

namespace {

bool number_char(char c) { return c == ',' || c == '.' || c == '+' || c == '-' || (c >= '0' && c <= '9'); }
bool any_char(char) { return true; }

// The value of a number's run of characters: a decimal comma is read as a point. A whole part too
// long for a double reads as the largest number, so the coordinate checks end the run with an
// overflow instead of moving to 0.
double number_value(std::string_view run, bool comma) {
  double value = 0;
  if (comma) {
    std::string with_point(run);
    std::replace(with_point.begin(), with_point.end(), ',', '.');
    value = leading_number(with_point);
  } else {
    value = leading_number(run);
  }
  if (value == 0 && run.substr(0, run.find_first_of(".,")).find_first_of("123456789") != std::string_view::npos)
    return run.starts_with('-') ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
  return value;
}

}  // namespace

NumberRead read_number(TokenReader& reader) {
  NumberRead number;
  const std::string_view run = reader.take_while(number_char);
  bool comma = false;
  for (const char c : run) {
    if (c == ',' || c == '.') {
      number.has_point = true;
      comma = comma || c == ',';
    } else if (c >= '0' && c <= '9') {
      number.has_digits = true;
    }
  }
  // The character that ends the number: a blank or a line end is read, anything else is left.
  if (reader.at_line_end()) {
    reader.next();
  } else if (reader.peek() == ' ') {
    reader.next();
    number.terminator = ' ';
  } else {
    number.terminator = reader.peek();
  }
  number.value = number_value(run, comma);
  return number;
}

NumberRead read_number(Context& context) {
  TokenReader reader(context);
  return read_number(reader);
}

std::string_view read_line_rest(TokenReader& reader) {
  const std::string_view rest = reader.take_while(any_char);
  reader.next();
  return rest;
}

std::string read_line_rest(Context& context) {
  TokenReader reader(context);
  return std::string(read_line_rest(reader));
}

void rewind_source(Context& context) {
  ConversionState& state = context.conversion;
  state.read_cursor = 0;
  if (state.source) state.source->show_position(0);
}

}  // namespace vireo
