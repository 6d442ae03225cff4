// Numbers as the machine language and the settings hold them: as text, converted on use.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace vireo {

// The value of the leading decimal number of a text: leading blanks are skipped, then an optional sign,
// digits and at most one decimal point. A text that does not start with a number is worth 0
// ("12abc" is 12, "abc" is 0, "-.5" is -0.5).
double leading_number(std::string_view text);

// The value of a run of digits and minus signs, worked out while a reader takes the run one character
// at a time, so that the number is not read a second time: the value leading_number gives the run (a
// "-" first makes it negative, the digits up to the next "-" are its value).
class DigitRun {
 public:
  // Takes a digit or a "-"; any other character is not taken.
  bool take(char c) {
    if (c >= '0' && c <= '9') {
      if (!ended_) {
        whole_ = whole_ * 10 + static_cast<unsigned>(c - '0');
        ++digits_;
      }
    } else if (c == '-') {
      // A sign only as the first character; any other "-" ends the number.
      (taken_ == 0 ? negative_ : ended_) = true;
    } else {
      return false;
    }
    ++taken_;
    return true;
  }
  // The value of `taken`, the characters this run took. Up to fifteen digits are summed exactly as an
  // integer; a longer number is read again in full.
  double value(std::string_view taken) const {
    if (digits_ > kExactDigits) return leading_number(taken);
    const double v = static_cast<double>(whole_);
    return negative_ ? -v : v;
  }

 private:
  static constexpr std::size_t kExactDigits = 15;
  unsigned long long whole_ = 0;
  std::size_t digits_ = 0;
  std::size_t taken_ = 0;
  bool negative_ = false;
  bool ended_ = false;
};

// The decimal text of a number in its shortest form, without a leading blank: 800, -200, 0.254.
std::string number_text(double value);

// The value a number keeps once written as its text and read back, leading_number(number_text(v)):
// what a value held as text is worth. Integral values below 10^15 keep themselves.
double held_as_text(double value);

// The decimal text with a leading blank before a non-negative number (" 2", "-3"), as the status texts
// and messages show numbers.
std::string blank_number_text(double value);

// The nearest integer, halves going to the even neighbour (2.5 gives 2, 3.5 gives 4). Values beyond
// the 64-bit range are held at its ends, NaN gives 0; the same holds for int_part.
long long round_half_even(double value);

// The largest integer not above the value (Int: -1.5 gives -2).
long long int_part(double value);

// Fixed-width number: the decimal text of the value, prefixed with zeros and cut to its rightmost
// `digits` characters. A negative value keeps its minus sign inside the field (fw(-200, 5) is
// "0-200"); a longer value loses its leading digits (fw(123456, 5) is "23456").
std::string fw(double value, int digits);
// The same appended to `out`, without a temporary text.
void append_fw(std::string& out, double value, int digits);
// The same written over a field of `digits` characters in place (the converters' hot path).
void write_fw(std::span<char> field, double value);

// An axis letter and its fixed-width value, "X" + fw(value, digits), held in place: the converters
// write one or two per point. Empty when default-made (an axis a block does not name).
class AxisField {
 public:
  AxisField() = default;
  AxisField(char letter, double value, int digits);
  std::string_view text() const { return {text_.data(), size_}; }

 private:
  static constexpr int kMostDigits = 15;  // the version setting gives 5 or 6
  std::array<char, 1 + kMostDigits> text_{};
  std::size_t size_ = 0;
};

// The same field made from a setting's text as it stands, without reading it as a number:
// fw_text("1500", 5) is "01500", fw_text(" 15", 5) is "00 15".
std::string fw_text(std::string_view text, int digits);

}  // namespace vireo
