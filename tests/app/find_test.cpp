#include "app/find.h"

#include <gtest/gtest.h>

#include "core/context.h"
#include "tests/support/fake_host.h"
#include "tests/support/fake_text_view.h"

namespace vireo {
namespace {

struct FindTest : ::testing::Test {
  test::FakeHost host;
  Context context{host};
  test::FakeTextView view;
};

TEST_F(FindTest, WalksFromMatchToMatchThenReportsNotFoundAndStartsAgainAtTheTop) {
  view.set_text("G00 X1\nG01 X2\nG00 X3\n");
  const FindOutcome first = find_next(context, view, "G00", 0);
  EXPECT_TRUE(first.found);
  EXPECT_EQ(first.line, 1);
  EXPECT_EQ(context.conversion.read_cursor, 3u);
  const FindOutcome second = find_next(context, view, "G00", 0);
  EXPECT_TRUE(second.found);
  EXPECT_EQ(second.line, 3);
  EXPECT_EQ(view.sel_start, 14);
  EXPECT_EQ(view.sel_length, 3);
  // After the last match: not found, and the search start is back at the top.
  EXPECT_FALSE(find_next(context, view, "G00", 0).found);
  EXPECT_EQ(context.conversion.read_cursor, 0u);
  EXPECT_EQ(find_next(context, view, "G00", 0).line, 1);
}

TEST_F(FindTest, MatchCaseKeepsLowerCaseFromFindingUpperCase) {
  view.set_text("X10 Y20\nx30\n");
  EXPECT_EQ(find_next(context, view, "x", kFindMatchCase).line, 2);
  restart_find(context);
  EXPECT_EQ(find_next(context, view, "x", 0).line, 1);
}

TEST_F(FindTest, WholeWordSkipsPartsOfWords) {
  view.set_text("G01X5 G01\nG01\n");
  const FindOutcome outcome = find_next(context, view, "G01", kFindWholeWord | kFindMatchCase);
  EXPECT_TRUE(outcome.found);
  EXPECT_EQ(view.sel_start, 6);
}

TEST_F(FindTest, AChangedSearchTextRestartsFromTheTop) {
  view.set_text("aa bb aa bb\n");
  find_next(context, view, "bb", 0);
  find_next(context, view, "bb", 0);
  restart_find(context);  // the find window does this on every change of its text
  EXPECT_TRUE(find_next(context, view, "aa", 0).found);
  EXPECT_EQ(view.sel_start, 0);
}

TEST_F(FindTest, EmptyTextOrEmptyDocumentIsNotFound) {
  view.set_text("abc");
  context.conversion.read_cursor = 2;
  EXPECT_FALSE(find_next(context, view, "", 0).found);
  EXPECT_EQ(context.conversion.read_cursor, 0u);
  view.set_text("");
  EXPECT_FALSE(find_next(context, view, "a", 0).found);
}

TEST(FindInText, OptionsAndBounds) {
  struct Row {
    const char* name;
    std::string_view text, what;
    long from, to;
    bool whole_word, match_case;
    long expected;
  };
  const Row rows[] = {
      {"plain", "G00 X1 G01", "G01", 0, -1, false, false, 7},
      {"from skips earlier", "ab ab", "ab", 1, -1, false, false, 3},
      {"to cuts a match off", "ab ab", "ab", 1, 4, false, false, -1},
      {"to past the end", "ab", "ab", 0, 99, false, false, 0},
      {"either case", "xX", "X", 0, -1, false, false, 0},
      {"match case", "xX", "X", 0, -1, false, true, 1},
      {"accented letters in either case", "perch\xC8 perch\xE8", "PERCH\xC8", 6, -1, false, false, 7},
      {"accent kept apart with match case", "\xE0\xC0", "\xC0", 0, -1, false, true, 1},
      {"whole word", "G01X5 G01", "G01", 0, -1, true, false, 6},
      {"whole word at the end", "XG01 G01", "G01", 0, -1, true, false, 5},
      {"underscore is part of a word", "a_b b", "b", 0, -1, true, false, 4},
      {"accented letter is part of a word", "\xE8" "b b", "b", 0, -1, true, false, 3},
      {"empty search", "abc", "", 0, -1, false, false, -1},
      {"longer than the text", "ab", "abc", 0, -1, false, false, -1},
      {"negative from", "abc", "a", -5, -1, false, false, 0},
  };
  for (const Row& row : rows)
    EXPECT_EQ(find_in_text(row.text, row.what, row.from, row.to, row.whole_word, row.match_case), row.expected) << row.name;
}

TEST(FindInText, ManyNearMissesOfOneCaseStayLinear) {
  // A regression guard: "x" over a long text of lower-case x only must not rescan for "X" each time.
  const std::string text(2'000'000, 'x');
  EXPECT_EQ(find_in_text(text, "xy", 0, -1, false, false), -1);
  EXPECT_EQ(find_in_text(text + "Xy", "xy", 0, -1, false, false), 2'000'000);
}

}  // namespace
}  // namespace vireo
