// The source reader: the only way converters read the document. One read cursor, shared by the three
// routines; a run of line ends reads as one empty text, and at the end of the text every read returns
// at once, so a converter ends by comparing the cursor with the text length.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/context.h"

namespace vireo {

class TextView;

// Reading from the copy of the text taken for a program-file conversion (ConversionState::source_text).
void read_from_copy(Context& context);
// Reading from the document view: its text is taken once and read by position; the view's selection
// follows the cursor as the progress display, refreshed every ~15 ms rather than per character.
void read_from_view(Context& context, TextView& view);

// One token read in place: the host processes its events once, the text is taken once, and then
// characters and runs are taken from the cursor on, each exactly as the reads below take them. A
// converter reads a token of several parts (a letter, its number, the character that ends it) with
// one reader; the text stays valid for the run.
class TokenReader {
 public:
  explicit TokenReader(Context& context)
      : state_((context.host->pump_events(), context.conversion)),
        from_(state_.source.get()),
        text_(from_ ? from_->text().substr(0, state_.text_length) : std::string_view()) {}

  // The next character, '\0' standing for a run of line ends (all of it is read) or the end.
  char next() {
    if (!from_) no_source();
    if (state_.read_cursor < text_.size()) {
      const char c = text_[state_.read_cursor++];
      from_->cursor_moved(state_.read_cursor, 1);
      if (!line_end(c)) return c;
    }
    skip_line_ends();
    return '\0';
  }

  // The run of characters from the cursor on that `accept` takes, never a line end; the cursor then
  // stands on the first character not taken. Empty at a line end, at the end, and without a source.
  template <typename Accept>
  std::string_view take_while(Accept accept) {
    if (!from_) return {};
    const std::size_t start = std::min(state_.read_cursor, text_.size());
    std::size_t end = start;
    while (end < text_.size() && accept(text_[end]) && !line_end(text_[end])) ++end;
    if (end == start) return {};
    state_.read_cursor = end;
    from_->cursor_moved(end, end - start);
    return text_.substr(start, end - start);
  }

  // True at a line end, at the end of the text, and without a source: nothing to peek at.
  bool at_line_end() const {
    return !from_ || state_.read_cursor >= text_.size() || line_end(text_[state_.read_cursor]);
  }
  // The character at the cursor, left to be read; only where at_line_end() is false.
  char peek() const { return text_[state_.read_cursor]; }

  // The next `count` characters. A carriage return, a line feed or nothing read (the end of the
  // text) skips the whole run of line ends that follows and gives the empty text; the cursor then
  // stands on the next character, or at the text length.
  std::string_view take(std::size_t count);

 private:
  static bool line_end(char c) { return c == '\r' || c == '\n'; }
  void skip_line_ends();
  [[noreturn]] static void no_source();

  ConversionState& state_;
  SourceText* from_;
  std::string_view text_;
};

// The single reads, each after letting the host process its events.
// read_chars: TokenReader::take as a text of its own.
std::string read_chars(Context& context, std::size_t count);
// TokenReader::take.
inline std::string_view read_chars_in_place(Context& context, std::size_t count) {
  return TokenReader(context).take(count);
}
// TokenReader::next: read_chars(context, 1) as one character, '\0' standing for the empty text (a
// run of line ends, or the end). For readers to which a NUL character means nothing either.
inline char read_char(Context& context) { return TokenReader(context).next(); }
// TokenReader::take_while.
template <typename Accept>
std::string_view read_while(Context& context, Accept accept) {
  return TokenReader(context).take_while(accept);
}

struct NumberRead {
  double value = 0;
  char terminator = '\0';  // the character that ended the number; '\0' for the end of a line or text
  bool has_point = false;  // a "." or "," was read
  bool has_digits = false;
};

// A signed decimal number: "," and "." are the decimal point, signs are taken anywhere. A blank or
// the end of a line ends it and is consumed; any other character ends it and is left to be read.
// Read in place, its value worked out once.
NumberRead read_number(TokenReader& reader);
NumberRead read_number(Context& context);

// The rest of the current line (comments, ignored words), its line end read too.
std::string_view read_line_rest(TokenReader& reader);
std::string read_line_rest(Context& context);

// Moves the cursor back to the start of the text (a repeated pass), showing it in the view.
void rewind_source(Context& context);

}  // namespace vireo
