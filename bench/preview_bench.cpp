// Figures of the preview's trace work: both scans over a generated program of about 100 MB, and the
// plan drawing of a program of 1,000,000 cutting segments into a 1920x1080 picture (plus its PNG).
// Usage: preview_bench [SCAN_MEGABYTES] [SEGMENTS] (defaults 100 and 1000000).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/context.h"
#include "base/number_text.h"
#include "preview/plan.h"
#include "preview/raster.h"
#include "preview/trace.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A program file as a conversion writes it: tracks at one of eight depths, each a plunge, a run of
// cutting moves and a lift to the travel height, with a bare CR every 60-odd characters.
std::string program(std::size_t min_bytes, std::size_t min_segments) {
  std::string text;
  text.reserve(min_bytes + 4096);
  unsigned state = 12345;
  const auto next = [&](int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<unsigned>(range));
  };
  std::size_t column = 0, segments = 0;
  const auto put = [&](const std::string& line) {
    if (column > 60) {
      text += '\r';
      column = 0;
    }
    text += line;
    column += line.size();
  };
  int x = 1000, y = 1000;
  while (text.size() < min_bytes || segments < min_segments) {
    put("F02Z0" + std::to_string(1010 + 10 * next(8)) + "*");
    put("F04");
    const int moves = 5 + next(30);
    for (int m = 0; m < moves; ++m) {
      x = std::clamp(x + next(801) - 400, 0, 40000);
      y = std::clamp(y + next(801) - 400, 0, 30000);
      put("X" + vireo::fw(x, 5) + "Y" + vireo::fw(y, 5) + "*");
      ++segments;
    }
    put("go0");
    put("F45Z00800*");
    x = next(40000), y = next(30000);
    put("X" + vireo::fw(x, 5) + "*");
    put("Y" + vireo::fw(y, 5) + "*");
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 100;
  const long segments = argc > 2 ? std::atol(argv[2]) : 1000000;

  vireo::Host host;
  vireo::Context context(host);
  vireo::derive_settings(context.settings, context.derived);

  {
    vireo::set_trace_text(context, program(static_cast<std::size_t>(megabytes * 1e6), 0));
    const double mb = static_cast<double>(context.trace.length) / 1e6;
    auto start = Clock::now();
    vireo::scan_z_levels(context);
    const double z_seconds = seconds_since(start);
    start = Clock::now();
    vireo::scan_xy_extent(context);
    const double xy_seconds = seconds_since(start);
    std::printf("trace scans over %.1f MB: scan_z_levels %.3f s (%.0f MB/s), scan_xy_extent %.3f s (%.0f MB/s), "
                "both %.0f MB/s; %d levels, extent %.0f..%.0f x %.0f..%.0f\n",
                mb, z_seconds, mb / z_seconds, xy_seconds, mb / xy_seconds, mb / (z_seconds + xy_seconds),
                context.trace.level_count, context.trace.x_min, context.trace.x_max, context.trace.y_min,
                context.trace.y_max);
  }
  {
    vireo::set_trace_text(context, program(0, static_cast<std::size_t>(segments)));
    vireo::scan_z_levels(context);
    vireo::scan_xy_extent(context);
    vireo::Raster picture(1920, 1080, vireo::kPlanBackground);
    auto start = Clock::now();
    const vireo::PlanDrawing drawing = vireo::draw_plan(context, picture, {});
    const double draw_seconds = seconds_since(start);
    start = Clock::now();
    const std::string png = vireo::png_bytes(picture);
    const double png_seconds = seconds_since(start);
    std::printf("plan drawing: %ld segments (%.1f MB program) into 1920x1080 in %.3f s (%.1f M segments/s); "
                "PNG %.0f kB in %.3f s\n",
                drawing.lines, static_cast<double>(context.trace.length) / 1e6, draw_seconds,
                static_cast<double>(drawing.lines) / draw_seconds / 1e6, static_cast<double>(png.size()) / 1e3,
                png_seconds);
  }
  return 0;
}
