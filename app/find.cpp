#include "app/find.h"

#include "app/context.h"
#include "app/text_view.h"

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

}  // namespace vireo
