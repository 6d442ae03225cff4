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

// The next `count` characters, after letting the host process its events. A carriage return, a line
// feed or nothing read (the end of the text) skips the whole run of line ends that follows and gives
// the empty text; the cursor then stands on the next character, or at the text length.
std::string read_chars(Context& context, std::size_t count);
// The same read without the copy: the text stays valid for the run.
std::string_view read_chars_in_place(Context& context, std::size_t count);

// The line-end and end-of-text half of read_char, after the events were processed.
char read_line_end(Context& context);

// read_chars(context, 1) as one character, '\0' standing for the empty text (a run of line ends, or
// the end). For readers to which a NUL character means nothing either. Inline: converters call it
// for nearly every character of the source.
inline char read_char(Context& context) {
  context.host->pump_events();
  ConversionState& state = context.conversion;
  if (SourceText* from = state.source.get()) {
    const std::string_view text = from->text();
    if (state.read_cursor < state.text_length && state.read_cursor < text.size()) {
      const char c = text[state.read_cursor];
      if (c != '\r' && c != '\n') {
        ++state.read_cursor;
        from->cursor_moved(state.read_cursor, 1);
        return c;
      }
    }
  }
  return read_line_end(context);
}

// The run of characters from the cursor on that `accept` takes (never a line end), read at once after
// letting the host process its events; the cursor then stands on the first character not taken. The
// text stays valid for the run. Empty at a line end or at the end of the text, where nothing is read.
template <typename Accept>
std::string_view read_while(Context& context, Accept accept) {
  context.host->pump_events();
  ConversionState& state = context.conversion;
  SourceText* from = state.source.get();
  if (!from) return {};
  const std::string_view text = from->text().substr(0, state.text_length);
  const std::size_t start = std::min(state.read_cursor, text.size());
  std::size_t end = start;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n' && accept(text[end])) ++end;
  if (end == start) return {};
  state.read_cursor = end;
  from->cursor_moved(end, end - start);
  return text.substr(start, end - start);
}

struct NumberRead {
  double value = 0;
  char terminator = '\0';  // the character that ended the number; '\0' for the end of a line or text
  bool has_point = false;  // a "." or "," was read
  bool has_digits = false;
};

// A signed decimal number: "," and "." are the decimal point, signs are taken anywhere. A blank or
// the end of a line ends it and is consumed; any other character ends it and is pushed back.
NumberRead read_number(Context& context);

// The rest of the current line (comments, ignored words).
std::string read_line_rest(Context& context);

// Moves the cursor back to the start of the text (a repeated pass), showing it in the view.
void rewind_source(Context& context);

}  // namespace vireo
