#include "link/run_time.h"

#include <ctime>

#include "core/context.h"

namespace vireo {
namespace {

std::string two_digits(long long value) {
  const std::string text = "00" + std::to_string(value);
  return text.substr(text.size() - 2);
}

}  // namespace

std::string run_time_text(long long seconds) {
  const long long hours = seconds / 3600;
  const long long minutes = (seconds - 3600 * hours) / 60;
  const long long rest = seconds - 3600 * hours - 60 * minutes;
  return two_digits(hours) + ":" + two_digits(minutes) + ":" + two_digits(rest);
}

std::string time_of_day_text(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  if (const std::tm* converted = std::localtime(&t)) local = *converted;
  return two_digits(local.tm_hour) + ":" + two_digits(local.tm_min) + ":" + two_digits(local.tm_sec);
}

void show_run_time(Context& context) {
  const auto elapsed = std::chrono::steady_clock::now() - context.conversion.start_time;
  const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
  context.host->set_status_panel(7, run_time_text(seconds < 0 ? 0 : seconds));
}

}  // namespace vireo
