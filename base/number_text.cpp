#include "base/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <span>

namespace vireo {

double leading_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The first fifteen digits of the whole part are summed as an integer: below 10^15 every partial
  // sum is exact in a double too, so the value is the same as the digit-by-digit sum below.
  std::uint64_t whole = 0;
  for (const std::size_t exact_end = std::min(text.size(), i + 15); i < exact_end; ++i) {
    const auto digit = static_cast<unsigned char>(text[i] - '0');
    if (digit > 9) break;
    whole = whole * 10 + digit;
  }
  double value = static_cast<double>(whole);
  bool point = false;
  double scale = 1;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (point) {
        scale /= 10;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  // Hundreds of digits overflow to infinity: that is no number either.
  if (!std::isfinite(value)) return 0;
  return negative ? -value : value;
}

namespace {

// The decimal text of a number in its shortest form, written into `buf`. An integral value below
// 10^15 (the common case: machine steps) is written as the integer it is; -0 gives "0".
std::string_view number_chars(double value, char (&buf)[64]) {
  if (std::fabs(value) < 1e15) {
    const auto integral = static_cast<long long>(value);
    if (static_cast<double>(integral) == value) {
      auto [end, ec] = std::to_chars(buf, buf + sizeof buf, integral);
      return {buf, static_cast<std::size_t>(end - buf)};
    }
  }
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return {buf, static_cast<std::size_t>(end - buf)};
}

}  // namespace

std::string number_text(double value) {
  char buf[64];
  return std::string(number_chars(value, buf));
}

double held_as_text(double value) {
  char buf[64];
  return leading_number(number_chars(value, buf));
}

std::string blank_number_text(double value) {
  std::string text = number_text(value);
  return value >= 0 ? " " + text : text;
}

namespace {

// An integral double as a 64-bit integer; values beyond the range are held at its ends, NaN gives 0
// (the plain conversion would be undefined for them).
long long saturated(double integral) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (std::isnan(integral)) return 0;
  if (integral >= kLimit) return LLONG_MAX;
  if (integral < -kLimit) return LLONG_MIN;
  return static_cast<long long>(integral);
}

}  // namespace

long long round_half_even(double value) { return saturated(std::nearbyint(value)); }

long long int_part(double value) { return saturated(std::floor(value)); }

std::string fw(double value, int digits) {
  std::string text;
  append_fw(text, value, digits);
  return text;
}

namespace {

// "00" to "99" one after the other: the two digits of a remainder by 100.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// The digits of `rest` written right to left from the end of `field`, as many as fit; returns how
// many places are left before them. Two digits are taken per division while two places are left;
// machine steps fit 32 bits, where the division is cheaper.
template <typename Unsigned>
std::size_t write_digits_back(std::span<char> field, Unsigned rest) {
  std::size_t at = field.size();
  for (; at >= 2 && rest >= 10; rest /= 100) {
    const auto pair = static_cast<std::size_t>(rest % 100) * 2;
    field[--at] = kDigitPairs[pair + 1];
    field[--at] = kDigitPairs[pair];
  }
  for (; at > 0 && rest != 0; rest /= 10) field[--at] = static_cast<char>('0' + rest % 10);
  return rest == 0 ? at : 0;
}

}  // namespace

void append_fw(std::string& out, double value, int digits) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(digits < 0 ? 0 : digits));
  write_fw(std::span<char>(out).subspan(start), value);
}

void write_fw(std::span<char> field, double value) {
  if (std::fabs(value) < 1e15 && static_cast<double>(static_cast<long long>(value)) == value) {
    // An integral value (machine steps, nearly always): its digits right to left, as many as fit,
    // then the minus sign if it fits too, then zeros up to the left end; the same field as the
    // decimal text cut below.
    const auto integral = static_cast<long long>(value);
    const auto magnitude = static_cast<unsigned long long>(integral < 0 ? -integral : integral);
    std::size_t left = magnitude <= UINT32_MAX ? write_digits_back(field, static_cast<std::uint32_t>(magnitude))
                                               : write_digits_back(field, magnitude);
    if (integral < 0 && left > 0) field[--left] = '-';
    std::fill_n(field.begin(), left, '0');
    return;
  }
  // Otherwise the rightmost characters of the decimal text go over zeros.
  std::fill(field.begin(), field.end(), '0');
  char buf[64];
  const std::string_view text = number_chars(value, buf);
  const std::size_t kept = std::min(text.size(), field.size());
  std::copy_n(text.end() - kept, kept, field.end() - static_cast<std::ptrdiff_t>(kept));
}

AxisField::AxisField(char letter, double value, int digits)
    : size_(1 + static_cast<std::size_t>(std::clamp(digits, 0, kMostDigits))) {
  text_[0] = letter;
  write_fw(std::span<char>(text_.data() + 1, size_ - 1), value);
}

std::string fw_text(std::string_view text, int digits) {
  if (static_cast<int>(text.size()) >= digits) return std::string(text.substr(text.size() - digits));
  return std::string(digits - text.size(), '0') + std::string(text);
}

}  // namespace vireo
