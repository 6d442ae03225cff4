// A text view held in memory: the document and output views of the command-line front end, and of
// tests. It records every colouring, so a caller can see what was highlighted.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_view.h"

namespace vireo {

class MemoryTextView final : public TextView {
 public:
  // One call of set_selection_color: the selection it coloured.
  struct ColourRange {
    long start = 0;
    long length = 0;
    Rgb colour;
    friend bool operator==(const ColourRange&, const ColourRange&) = default;
  };

  // The text. A snapshot shares it; a change while one is held gives the view a text of its own.
  const std::string& content() const { return *content_; }
  long sel_start = 0;
  long sel_length = 0;
  std::vector<ColourRange> colours;  // in the order they were set
  bool enabled = true;

  std::string text() const override { return *content_; }
  std::shared_ptr<const std::string> snapshot() const override { return content_; }
  long length() const override { return static_cast<long>(content_->size()); }
  void set_text(std::string_view text) override;
  // The same without a copy: a large document read from a file.
  void take_text(std::string text);
  // Room for a text of `size` characters, so that a long run of appends does not copy it as it grows.
  void reserve(std::size_t size);

  long selection_start() const override { return sel_start; }
  void set_selection_start(long start) override;
  long selection_length() const override { return sel_length; }
  void set_selection_length(long length) override;
  std::string selected_text() const override { return content_->substr(sel_start, sel_length); }
  // Replaces the selection and leaves the caret after the new text.
  void replace_selection(std::string_view text) override;
  void set_selection_color(Rgb color) override;
  // Each in one step: the output view of a headless run takes millions of lines.
  void append(std::string_view text) override;
  void colour(long start, long length, Rgb color) override;

  // Searches [from, to) (to < 0 or past the end: to the end); selects the match.
  long find(std::string_view what, long from, long to, FindOptions options) override;
  // Lines end with "\n" (a "\r\n" pair counts once).
  long line_of(long position) const override;

  void set_enabled(bool on) override { enabled = on; }

  // Keeps no colouring record: a long headless run appends millions of lines.
  void forget_colours(bool forget) { forget_colours_ = forget; }

  // The text a colouring covered, for readable expectations: {"F45", {255, 43, 1}}.
  std::string coloured_text(const ColourRange& range) const { return content_->substr(range.start, range.length); }

 private:
  std::string& own_content();

  std::shared_ptr<std::string> content_ = std::make_shared<std::string>();
  bool forget_colours_ = false;
};

}  // namespace vireo
