// The find window's search: whole-word and match-case options, a search start that walks through the
// document from match to match, and the line of the match.
#pragma once

#include <string_view>

namespace vireo {

struct Context;
class TextView;

// The option values as the find window keeps them: whole word 0 or 2, match case 0 or 4.
inline constexpr int kFindWholeWord = 2;
inline constexpr int kFindMatchCase = 4;

struct FindOutcome {
  bool found = false;
  long line = 0;  // the line holding the match, counted from 1
};

// Searches the view from the search start (the source reader's read cursor, which every conversion
// resets) for `what`; the view selects the match. The search start moves past the match; when nothing
// is found (also for an empty text or an empty document) it goes back to 0, so the next search starts
// again at the top.
FindOutcome find_next(Context& context, TextView& view, std::string_view what, int options);

// A change of the search text restarts the search from the top.
void restart_find(Context& context);

// Searches text[from, to) for `what` (to < 0 or past the end: to the end). Whole words are bounded by
// characters other than letters, digits and "_"; without match case, letters compare in either case
// (Latin-1). Returns the match's start, or -1.
long find_in_text(std::string_view text, std::string_view what, long from, long to, bool whole_word, bool match_case);

}  // namespace vireo
