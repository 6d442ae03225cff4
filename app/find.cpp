#include "app/find.h"

#include <algorithm>

#include "core/context.h"
#include "core/text_view.h"

namespace vireo {

namespace {
// The search runs to this character position (the view clamps it to the text's end).
constexpr long kSearchEnd = 1000000000;
}  // namespace

FindOutcome find_next(Context& context, TextView& view, std::string_view what, int options) {
  std::size_t& start = context.conversion.read_cursor;
  const FindOptions flags{.whole_word = (options & kFindWholeWord) != 0, .match_case = (options & kFindMatchCase) != 0};
  const long found = what.empty() ? -1 : view.find(what, static_cast<long>(start), kSearchEnd, flags);
  if (found < 0) {
    start = 0;
    return {};
  }
  start = static_cast<std::size_t>(view.selection_start()) + what.size();
  return {true, view.line_of(found) + 1};
}

void restart_find(Context& context) { context.conversion.read_cursor = 0; }

namespace {
// Latin-1 letters: A-Z and a-z, and the accented letters 0xC0-0xFE except the signs 0xD7 and 0xF7.
unsigned char lower_latin1(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 32);
  return c;
}
unsigned char upper_latin1(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<unsigned char>(c - 32);
  return c;
}
bool word_char(unsigned char c) {
  return (c >= '0' && c <= '9') || c == '_' || lower_latin1(c) != c || upper_latin1(c) != c || c == 0xDF || c == 0xFF;
}

// The next position from `at` of either of two characters, remembering each one's next place so
// that a long text is scanned once per character.
class TwoCharScan {
 public:
  TwoCharScan(std::string_view text, char a, char b) : text_(text), a_(a), b_(b) {}
  std::size_t next(std::size_t at) {
    if (next_a_ < at || next_a_ == kUnset) next_a_ = text_.find(a_, at);
    if (a_ == b_) return next_a_;
    if (next_b_ < at || next_b_ == kUnset) next_b_ = text_.find(b_, at);
    return std::min(next_a_, next_b_);
  }

 private:
  static constexpr std::size_t kUnset = std::string_view::npos - 1;
  std::string_view text_;
  char a_, b_;
  std::size_t next_a_ = kUnset, next_b_ = kUnset;
};
}  // namespace

long find_in_text(std::string_view text, std::string_view what, long from, long to, bool whole_word, bool match_case) {
  const long size = static_cast<long>(text.size());
  const long end = to < 0 || to > size ? size : to;
  const auto wanted = what.size();
  if (wanted == 0) return -1;
  const auto same = [match_case](char a, char b) {
    if (match_case) return a == b;
    return lower_latin1(static_cast<unsigned char>(a)) == lower_latin1(static_cast<unsigned char>(b));
  };
  const auto first = static_cast<unsigned char>(what[0]);
  TwoCharScan scan(text, match_case ? what[0] : static_cast<char>(lower_latin1(first)),
                   match_case ? what[0] : static_cast<char>(upper_latin1(lower_latin1(first))));
  for (std::size_t at = static_cast<std::size_t>(std::max(from, 0L));;) {
    at = scan.next(at);
    if (at == std::string_view::npos || static_cast<long>(at + wanted) > end) return -1;
    bool match = true;
    for (std::size_t k = 1; k < wanted && match; ++k) match = same(text[at + k], what[k]);
    if (match && whole_word) {
      const bool open_before = at == 0 || !word_char(static_cast<unsigned char>(text[at - 1]));
      const bool open_after = at + wanted >= text.size() || !word_char(static_cast<unsigned char>(text[at + wanted]));
      match = open_before && open_after;
    }
    if (match) return static_cast<long>(at);
    ++at;
  }
}

}  // namespace vireo
