#include "convert/source_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/context.h"
#include "base/run_error.h"
#include "tests/support/fake_host.h"

namespace vireo {
namespace {

struct ReaderTest : ::testing::Test {
  test::FakeHost host;
  test::FakeTextView view;
  Context context{host};

  void open_copy(const std::string& text) {
    context.conversion.source_text = std::make_shared<const std::string>(text);
    context.conversion.text_length = text.size();
    context.conversion.read_cursor = 0;
    read_from_copy(context);
  }
  void open_view(const std::string& text) {
    view.set_text(text);
    context.conversion.text_length = text.size();
    context.conversion.read_cursor = 0;
    read_from_view(context, view);
  }
  // Every read of one character until the cursor reaches the text length; "<>" marks an empty text.
  std::string read_all() {
    std::string reads;
    for (int guard = 0; context.conversion.read_cursor < context.conversion.text_length && guard < 100; ++guard) {
      const std::string c = read_chars(context, 1);
      reads += c.empty() ? "<>" : c;
    }
    return reads;
  }
};

TEST_F(ReaderTest, LineEndRunsReadAsOneEmptyTextFromBothSources) {
  struct Case {
    const char* name;
    std::string text;
    std::string reads;
  };
  const std::vector<Case> cases = {
      {"no line ends", "AB", "AB"},
      {"CR LF pairs", "A\r\n\r\nB", "A<>B"},
      {"LF only", "A\n\nB\n", "A<>B<>"},
      {"CR only, the last character follows it", "A\rB", "A<>B"},
      {"leading blank lines", "\r\n\r\nA", "<>A"},
      {"no final line end", "X1*", "X1*"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    open_copy(c.text);
    EXPECT_EQ(read_all(), c.reads) << c.name << " (copy)";
    EXPECT_EQ(context.conversion.read_cursor, c.text.size()) << c.name;
    open_view(c.text);
    EXPECT_EQ(read_all(), c.reads) << c.name << " (view)";
  }
}

TEST_F(ReaderTest, AtTheEndEveryReadReturnsAtOnce) {
  open_copy("AB\r\n");
  EXPECT_EQ(read_chars(context, 5), "AB\r\n");  // several characters are not a line end
  for (int i = 0; i < 3; ++i) EXPECT_EQ(read_chars(context, 1), "");
  EXPECT_EQ(read_line_rest(context), "");
  EXPECT_EQ(context.conversion.read_cursor, 4u);
}

TEST_F(ReaderTest, EveryReadLetsTheHostProcessEvents) {
  open_copy("ABC");
  read_chars(context, 1);
  read_chars(context, 2);
  EXPECT_EQ(host.pumps, 2);
}

TEST_F(ReaderTest, ATokenOfSeveralPartsLetsTheHostProcessEventsOnce) {
  open_copy("X-12Y\r\nD");
  TokenReader reader(context);
  EXPECT_EQ(reader.next(), 'X');
  EXPECT_EQ(reader.take_while([](char c) { return c == '-' || (c >= '0' && c <= '9'); }), "-12");
  EXPECT_EQ(reader.next(), 'Y');
  EXPECT_EQ(reader.next(), '\0');  // the whole run of line ends
  EXPECT_EQ(reader.take(2), "D");  // cut short by the end of the text
  EXPECT_EQ(host.pumps, 1);
  EXPECT_EQ(context.conversion.read_cursor, 8u);
}

TEST_F(ReaderTest, NumbersAndWhatEndsThem) {
  struct Case {
    const char* name;
    std::string text;
    double value;
    char terminator;
    bool has_point, has_digits;
    std::string next;  // what the caller reads after the number
  };
  const std::vector<Case> cases = {
      {"comma as the point, blank consumed", "12,5 X", 12.5, ' ', true, true, "X"},
      {"sign and point without integer part", "-.5\r\nY", -0.5, '\0', true, true, "Y"},
      {"letter pushed back", "12X3", 12, 'X', false, true, "X"},
      {"plus sign", "+3 ", 3, ' ', false, true, ""},
      {"sign only", "- Z", 0, ' ', false, false, "Z"},
      {"nothing before a letter", "G1", 0, 'G', false, false, "G"},
      {"end of the text", "7", 7, '\0', false, true, ""},
      {"a sign after the digits ends the value", "1-2,5X", 1, 'X', true, true, "X"},
      {"whole part too long for a double", "-" + std::string(400, '9') + ",5 ", -std::numeric_limits<double>::max(), ' ',
       true, true, ""},
  };
  for (const Case& c : cases) {
    open_copy(c.text);
    const NumberRead n = read_number(context);
    EXPECT_DOUBLE_EQ(n.value, c.value) << c.name;
    EXPECT_EQ(n.terminator, c.terminator) << c.name;
    EXPECT_EQ(n.has_point, c.has_point) << c.name;
    EXPECT_EQ(n.has_digits, c.has_digits) << c.name;
    EXPECT_EQ(read_chars(context, 1), c.next) << c.name;
  }
}

TEST_F(ReaderTest, LineRestStopsAtTheLineEnd) {
  open_copy("comment here\r\n\r\nnext");
  EXPECT_EQ(read_line_rest(context), "comment here");
  EXPECT_EQ(read_line_rest(context), "next");
  EXPECT_EQ(read_line_rest(context), "");
}

// The reader reads the text the document had when the run began; the view shares it, and an edit made
// meanwhile (the events pumped during a run let the operator type) goes into a text of its own.
TEST_F(ReaderTest, AnEditDuringTheRunDoesNotReachTheReader) {
  open_view("ABCDEF");
  EXPECT_EQ(read_chars(context, 2), "AB");
  view.set_selection_start(2);
  view.set_selection_length(2);
  view.replace_selection("xy");
  EXPECT_EQ(view.content(), "ABxyEF");
  EXPECT_EQ(read_chars(context, 2), "CD");

  view.set_text("ABCDEF");
  const std::shared_ptr<const std::string> snapshot = view.snapshot();
  view.set_selection_start(6);
  view.replace_selection("G");
  EXPECT_EQ(*snapshot, "ABCDEF");
  EXPECT_EQ(view.content(), "ABCDEFG");
}

TEST_F(ReaderTest, ViewShowsTheCursorAsItsSelectionWhenAsked) {
  open_view("ABCDEF");
  read_chars(context, 1);
  read_chars(context, 2);
  // The selection walks at its own cadence, not per character.
  EXPECT_EQ(view.sel_start, 0);
  context.conversion.source->show_position(context.conversion.read_cursor);
  EXPECT_EQ(view.sel_start, 3);
  rewind_source(context);
  EXPECT_EQ(context.conversion.read_cursor, 0u);
  EXPECT_EQ(view.sel_start, 0);
  EXPECT_EQ(read_chars(context, 1), "A");
}

TEST_F(ReaderTest, ViewSelectionFollowsALongRead) {
  // The clock is looked at every 256 reads and the selection moved at most every ~15 ms: a long read
  // shows its progress without a move per character.
  open_view(std::string(2000, 'A'));
  long moves = 0;
  long last = 0;
  while (context.conversion.read_cursor < 2000) {
    read_chars(context, 1);
    if (view.sel_start != last) ++moves, last = view.sel_start;
  }
  EXPECT_GT(view.sel_start, 0);
  EXPECT_LE(moves, 2000 / 256);
}

TEST_F(ReaderTest, WithoutASourceReadingIsARunTimeFailure) {
  context.conversion.text_length = 3;
  EXPECT_THROW(read_chars(context, 1), RunError);
}

}  // namespace
}  // namespace vireo
