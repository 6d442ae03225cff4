// Where the source reader takes a document's text from. The reader reads by position from one whole
// text; the two sources differ in what the operator sees: the program-file conversion reads a copy
// taken once, the other conversions show the reader's progress as the document view's selection.
#pragma once

#include <cstddef>
#include <string_view>

namespace vireo {

class SourceText {
 public:
  virtual ~SourceText() = default;

  // The whole text.
  std::string_view text() const { return text_; }
  // The reader stands at `cursor` after reading `count` characters, or moved back to `cursor`
  // (count 0). Called once per read, so it must stay cheap; a source that shows nothing is not called.
  void cursor_moved(std::size_t cursor, std::size_t count) {
    if (shows_progress_) show_progress(cursor, count);
  }
  // Shows the position at once (a pass restarting from the top, the end of the run).
  virtual void show_position(std::size_t cursor) { (void)cursor; }

 protected:
  virtual void show_progress(std::size_t cursor, std::size_t count) { (void)cursor, (void)count; }

  std::string_view text_;
  bool shows_progress_ = false;
};

}  // namespace vireo
