// Machine coordinates as the converters write them: whole hundredths of a millimetre that the
// controller holds in 32 bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/number_text.h"
#include "base/run_error.h"

namespace vireo {

// The value rounded to whole hundredths (halves to the even neighbour). A value beyond the 32-bit
// range cannot reach the machine: it ends the conversion as an overflow, naming `what` it was.
inline double whole_hundredths(double value, std::string_view what) {
  const long long whole = round_half_even(value);
  if (whole > INT32_MAX || whole < INT32_MIN || value != value)
    throw RunError(err::kOverflow, "Overflow: " + std::string(what) + " " + number_text(value));
  return static_cast<double>(whole);
}

// The last two characters of a code setting read as a number ("F45" gives 45).
inline double code_digits(std::string_view code) {
  return leading_number(code.substr(code.size() < 2 ? 0 : code.size() - 2));
}

// A two-digit code: the last two characters of "00" + the decimal text of the value.
inline std::string two_digits(double value) {
  const std::string text = "00" + number_text(value);
  return text.substr(text.size() - 2);
}

}  // namespace vireo
