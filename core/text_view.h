// A text view as the logic uses it: the document, output and auxiliary windows' texts. Text is
// single-byte (Latin-1); positions are 0-based character offsets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vireo {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Search options: whole words only, case-sensitive.
struct FindOptions {
  bool whole_word = false;
  bool match_case = false;
};

class TextView {
 public:
  virtual ~TextView() = default;

  virtual std::string text() const = 0;
  // The whole text as it stands, kept unchanged for as long as it is held (a conversion reads its
  // document from one). A copy of text(), unless the view can share its own.
  virtual std::shared_ptr<const std::string> snapshot() const { return std::make_shared<const std::string>(text()); }
  virtual long length() const = 0;
  virtual void set_text(std::string_view text) = 0;

  // The selection. Setting the start collapses the selection there; positions beyond the text are
  // clamped to its length, so setting a huge start and reading it back gives the text length.
  virtual long selection_start() const = 0;
  virtual void set_selection_start(long start) = 0;
  virtual long selection_length() const = 0;
  virtual void set_selection_length(long length) = 0;
  virtual std::string selected_text() const = 0;
  virtual void replace_selection(std::string_view text) = 0;
  virtual void set_selection_color(Rgb color) = 0;

  // Adds `text` at the end: the selection starts at the end, takes the text's length there (none is
  // left) and is replaced, which leaves the caret after the text. A view may do it in one step.
  virtual void append(std::string_view text) {
    set_selection_start(length());
    set_selection_length(static_cast<long>(text.size()));
    replace_selection(text);
  }
  // Colours `length` characters from `start` by selecting them; the selection stays on them.
  virtual void colour(long start, long length, Rgb color) {
    set_selection_start(start);
    set_selection_length(length);
    set_selection_color(color);
  }

  // Searches [from, to) for `what`; selects the match and returns its start, or -1.
  virtual long find(std::string_view what, long from, long to, FindOptions options) = 0;
  // The 0-based line that holds a character position.
  virtual long line_of(long position) const = 0;

  virtual void set_enabled(bool enabled) = 0;
};

}  // namespace vireo
