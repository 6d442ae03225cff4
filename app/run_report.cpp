#include "app/run_report.h"

#include <algorithm>
#include <cmath>

#include "link/run_time.h"

namespace vireo {

namespace {

bool english(int language_offset) { return language_offset != 0; }

std::string whole(double value) { return std::to_string(static_cast<long long>(std::floor(std::max(0.0, value)))); }

}  // namespace

std::string progress_detail(const RunProgress& p, int language_offset) {
  if (p.total <= 0) return {};
  const bool en = english(language_offset);
  std::string text = whole(p.lines);
  if (p.lines_total > 0) text += " / " + whole(p.lines_total);
  text += (en ? " lines   " : " righe   ") + run_time_text(static_cast<long long>(p.seconds));
  // The pace is only known once something was read; the first second's pace is too unsteady to show.
  if (p.read > 0 && p.read < p.total && p.seconds >= 1) {
    const double left = p.seconds * (p.total - p.read) / p.read;
    text += (en ? "   left " : "   mancano ") + run_time_text(static_cast<long long>(std::ceil(left)));
  }
  return text;
}

std::string run_end_text(RunEnd end, double lines, double seconds, int language_offset) {
  const bool en = english(language_offset);
  std::string head;
  switch (end) {
    case RunEnd::finished: head = en ? "finished: " : "terminato: "; break;
    case RunEnd::cancelled: head = en ? "cancelled: " : "annullato: "; break;
    case RunEnd::failed: head = en ? "failed: " : "fallito: "; break;
  }
  return head + whole(lines) + (en ? " lines delivered in " : " righe inviate in ") +
         run_time_text(static_cast<long long>(seconds));
}

}  // namespace vireo
