// Pushes a generated stream of typical program lines (plunges, feeds, cutting and travel moves, pulse
// commands) through emit_line with the file sink, as a conversion to a program file does, and prints
// the encoded output rate. Usage: emit_bench [MEGABYTES] (default 64).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/context.h"
#include "base/number_text.h"
#include "link/output_channel.h"

namespace {

// One pass over a board: for each track a plunge, a run of cutting moves, a lift and a travel move.
std::vector<std::string> program_lines(std::size_t tracks) {
  std::vector<std::string> lines;
  unsigned state = 12345;
  const auto next = [&](int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<unsigned>(range));
  };
  int x = 1000, y = 1000;
  const auto xy = [&] { return "X" + vireo::fw(x, 5) + "Y" + vireo::fw(y, 5) + "*"; };
  for (std::size_t t = 0; t < tracks; ++t) {
    lines.push_back("F02Z01100*");  // plunge feed and cutting depth
    lines.push_back("F04");
    lines.push_back("pb");
    const int moves = 5 + next(30);
    for (int m = 0; m < moves; ++m) {
      x = std::clamp(x + next(801) - 400, 0, 99999);
      y = std::clamp(y + next(801) - 400, 0, 99999);
      lines.push_back(xy() + (m % 4 == 3 ? "pa" : ""));
    }
    lines.push_back("go0");
    lines.push_back("pc");
    lines.push_back("F45Z00800*");  // lift at the return feed
    lines.push_back("F45");
    x = next(20000), y = next(20000);
    lines.push_back("X" + vireo::fw(x, 5) + "*");
    lines.push_back("Y" + vireo::fw(y, 5) + "*");
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 64;
  const auto target = static_cast<std::uintmax_t>(megabytes * 1e6);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "vireo_emit_bench.tpx";

  vireo::Host host;
  vireo::Context context(host);
  vireo::derive_settings(context.settings, context.derived);  // defaults: coordinate correction on
  context.channel.sink = std::string(vireo::sink::kFile);
  context.channel.program_file_name = file.string();
  context.display.force_z = context.display.force_f = true;

  const std::vector<std::string> pool = program_lines(20000);
  std::uintmax_t lines = 0;
  const auto start = std::chrono::steady_clock::now();
  // Whole passes over the board until the file holds the wanted size (less its buffered tail).
  while (!std::filesystem::exists(file) || std::filesystem::file_size(file) < target) {
    for (const std::string& line : pool) {
      vireo::emit_line(context, line);
    }
    lines += pool.size();
  }
  vireo::close_program_file(context);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::uintmax_t written = std::filesystem::file_size(file);
  std::filesystem::remove(file);

  if (context.channel.error_count != 0) {
    std::fprintf(stderr, "emit_bench: %d errors, last: %s\n", context.channel.error_count,
                 context.channel.error_text.c_str());
    return 1;
  }
  std::printf("emit_line, file sink: %ju lines in, %.1f MB of encoded output in %.3f s\n", lines, written / 1e6,
              seconds);
  std::printf("%.1f MB/s, %.0f lines/s\n", written / 1e6 / seconds, lines / seconds);
  return 0;
}
