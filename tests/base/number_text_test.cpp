#include "base/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <string>

namespace vireo {
namespace {

TEST(FixedWidth, PadsCutsAndKeepsTheSignInside) {
  struct Case {
    double value;
    int digits;
    const char* text;
  } cases[] = {
      {800, 5, "00800"},       {800, 6, "000800"},      {0, 5, "00000"},
      {-200, 5, "0-200"},      {-300, 6, "00-300"},    {123456, 5, "23456"},
      {99999, 5, "99999"},     {1234567, 6, "234567"},  {-12345, 5, "12345"},  // the sign is cut off
      {1100, 5, "01100"},      {-1234, 5, "-1234"},     {-0.0, 5, "00000"},    {7, 0, ""},
      {0.254, 6, "00.254"},    {-2.5, 5, "0-2.5"},      {1e15, 5, "1e+15"},    {123456789012345, 6, "012345"},
      // Digits taken in pairs: a field of odd width cuts through a pair.
      {12345, 4, "2345"},      {42, 1, "2"},            {-75, 2, "75"},        {-7, 2, "-7"},
      {10, 5, "00010"},        {100, 5, "00100"},       {4294967296, 7, "4967296"},
  };
  for (const Case& c : cases) EXPECT_EQ(fw(c.value, c.digits), c.text) << c.value << " with " << c.digits;
}

TEST(FixedWidth, TextIsPaddedAsItStands) {
  struct Case {
    const char* text;
    int digits;
    const char* field;
  } cases[] = {
      {"1500", 5, "01500"}, {"49999", 6, "049999"}, {"", 5, "00000"}, {"1234567", 5, "34567"},
      {"-200", 5, "0-200"}, {" 15", 5, "00 15"},    {"1.5", 5, "001.5"},
  };
  for (const Case& c : cases) EXPECT_EQ(fw_text(c.text, c.digits), c.field) << '"' << c.text << '"';
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOnly) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"100", 100},   {"-200", -200}, {"  42", 42},   {"12abc", 12},  {"abc", 0},  {"", 0},
      {"-.5", -0.5},  {"1.5", 1.5},   {"0.50", 0.5},  {"F04", 0},     {"+7", 7},   {"1.2.3", 1.2},
      {"01234", 1234}, {"-", 0},     {"12345678901234567", 12345678901234567.0}, {"123456789012345.5", 123456789012345.5},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(leading_number(c.text), c.value) << '"' << c.text << '"';
}

// A run taken one character at a time is worth what leading_number reads in it: runs of digits and
// minus signs of every length up to well past the fifteen exact digits, signs anywhere, and the
// characters that end a run.
TEST(DigitRun, IsWorthWhatLeadingNumberReadsInTheRun) {
  std::mt19937 random(11);
  for (int n = 0; n < 20000; ++n) {
    std::string text(random() % 24, '0');
    for (char& c : text) c = random() % 8 == 0 ? '-' : static_cast<char>('0' + random() % 10);
    DigitRun run;
    std::size_t taken = 0;
    while (taken < text.size() && run.take(text[taken])) ++taken;
    ASSERT_EQ(taken, text.size()) << text;
    const double expected = leading_number(text);
    const double value = run.value(text);
    ASSERT_EQ(value, expected) << text;
    ASSERT_EQ(std::signbit(value), std::signbit(expected)) << text;
  }
  for (char c : {'D', '*', '.', '+', ' ', '\n', '\r', 'X'}) EXPECT_FALSE(DigitRun().take(c)) << c;
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(round_half_even(2.5), 2);
  EXPECT_EQ(round_half_even(3.5), 4);
  EXPECT_EQ(round_half_even(-2.5), -2);
  EXPECT_EQ(round_half_even(2.6), 3);
  EXPECT_EQ(int_part(-1.5), -2);
  EXPECT_EQ(int_part(41.9), 41);
  // Found by fuzzing: a coordinate of a hundred digits rounded to an integer was undefined.
  EXPECT_EQ(round_half_even(3.3e114), LLONG_MAX);
  EXPECT_EQ(round_half_even(-1e300), LLONG_MIN);
  EXPECT_EQ(round_half_even(std::nan("")), 0);
  EXPECT_EQ(int_part(HUGE_VAL), LLONG_MAX);
}

TEST(NumberText, ShortestFormAndBlankBeforeNonNegative) {
  EXPECT_EQ(number_text(800), "800");
  EXPECT_EQ(number_text(-0.0), "0");
  EXPECT_EQ(number_text(0.254), "0.254");
  EXPECT_EQ(number_text(2.54 * 0.1), "0.254");
  EXPECT_EQ(blank_number_text(2), " 2");
  EXPECT_EQ(blank_number_text(0), " 0");
  EXPECT_EQ(blank_number_text(-3), "-3");
}

// A value kept as text is worth what its text reads back as: steps and integers keep themselves, a
// number written with an exponent keeps only the digits before it.
TEST(NumberText, HeldAsTextIsWhatTheTextReadsBackAs) {
  EXPECT_EQ(held_as_text(1234), 1234);
  EXPECT_EQ(held_as_text(-0.5), -0.5);
  EXPECT_EQ(held_as_text(1e20), 1);
  EXPECT_EQ(held_as_text(0.1 + 0.2), leading_number(number_text(0.1 + 0.2)));
}

}  // namespace
}  // namespace vireo
