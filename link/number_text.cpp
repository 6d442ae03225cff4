#include "link/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vireo {

double leading_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0;
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
  return negative ? -value : value;
}

std::string number_text(double value) {
  if (value == 0) return "0";  // also -0
  if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
    return std::string(buf, end);
  }
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, end);
}

std::string blank_number_text(double value) {
  std::string text = number_text(value);
  return value >= 0 ? " " + text : text;
}

long long round_half_even(double value) { return static_cast<long long>(std::nearbyint(value)); }

long long int_part(double value) { return static_cast<long long>(std::floor(value)); }

std::string fw(double value, int digits) {
  std::string text = number_text(value);
  if (static_cast<int>(text.size()) >= digits) return text.substr(text.size() - digits);
  return std::string(digits - text.size(), '0') + text;
}

std::string fw_text(std::string_view text, int digits) {
  if (static_cast<int>(text.size()) >= digits) return std::string(text.substr(text.size() - digits));
  return std::string(digits - text.size(), '0') + std::string(text);
}

}  // namespace vireo
