// Converts a generated Gerber board of realistic blocks (parameter blocks, comments, aperture
// selections, draws, moves, flashes) and prints the input rate in MB/s:
//   - through the library with the program-file sink (the headless figure),
//   - through the library with a view-backed source (the desktop program reads the same way through
//     its document widget): into the output view, and to the machine's dummy device (the reader and
//     the encoder without the view's appends),
//   - through `vireo-cli convert` as a separate process (file sink).
// Usage: convert_bench [MEGABYTES] (default 24). With VIREO_BENCH_KEEP set, the board stays on disk.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "core/context.h"
#include "core/memory_text_view.h"
#include "bench/gerber_board.h"
#include "convert/driver.h"
#include "link/output_channel.h"
#include "settings/settings_record.h"

namespace {

namespace fs = std::filesystem;

class BenchHost : public vireo::Host {
 public:
  vireo::MemoryTextView document;
  vireo::MemoryTextView output;
  std::string caption;
  vireo::TextView* document_view() override { return &document; }
  std::string document_caption() override { return caption; }
  vireo::TextView* show_output_window(std::string_view) override { return &output; }
  vireo::TextView* output_view() override { return &output; }
};

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor seconds used by this process (RUSAGE_SELF) or its finished children: on a shared machine
// they tell the program's own speed better than the wall clock.
double cpu_seconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
  void keep_best(double w, double c) {
    wall = std::min(wall, w);
    cpu = std::min(cpu, c);
  }
};

// One conversion through the library; returns the wall and processor seconds it took.
Timing convert_with_library(const std::string& board, const fs::path& source, std::string_view sink) {
  BenchHost host;
  host.document.set_text(board);
  host.document.forget_colours(true);
  host.output.forget_colours(true);
  host.caption = source.string();
  vireo::Context context(host);
  // The machine sink goes to the dummy device, paced by one empty iteration per character.
  context.settings.set_text(vireo::Slot::ritardo_dsr, "0");
  vireo::derive_settings(context.settings, context.derived);
  context.channel.sink = sink;
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = cpu_seconds(RUSAGE_SELF);
  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  Timing took;
  took.keep_best(seconds_since(start), cpu_seconds(RUSAGE_SELF) - cpu_start);
  if (outcome != vireo::ConversionOutcome::converted || context.channel.error_count != 0) {
    std::fprintf(stderr, "conversion failed: %s\n", context.channel.error_text.c_str());
    std::exit(1);
  }
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 24;
  const std::size_t bytes = static_cast<std::size_t>(megabytes * 1e6);
  const fs::path dir = fs::temp_directory_path() / ("vireo-convert-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path source = dir / "board.gtl";
  const std::string board = vireo::bench::generate_board(bytes);
  std::ofstream(source, std::ios::binary) << board;
  const double mb = static_cast<double>(board.size()) / 1e6;
  std::printf("input: %.1f MB of Gerber (%s)\n", mb, source.c_str());

  const auto report = [&](const char* what, const Timing& t, const char* note) {
    std::printf("%-36s %6.1f MB/s wall, %6.1f MB/s cpu  (%.3f s wall, %.3f s cpu%s)\n", what, mb / t.wall, mb / t.cpu,
                t.wall, t.cpu, note);
  };
  Timing file;
  for (int run = 0; run < 3; ++run) {
    const Timing t = convert_with_library(board, source, vireo::sink::kFile);
    file.keep_best(t.wall, t.cpu);
  }
  report("library, file sink:", file, ", best of 3");

  report("library, view source, rtf sink:", convert_with_library(board, source, vireo::sink::kTextView), "");
  report("library, view source, dummy device:", convert_with_library(board, source, vireo::sink::kMachine), "");

  const std::string command = std::string("\"") + VIREO_CLI + "\" convert \"" + source.string() + "\" 2>/dev/null";
  Timing cli;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = cpu_seconds(RUSAGE_CHILDREN);
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "vireo-cli convert failed\n");
      return 1;
    }
    cli.keep_best(seconds_since(start), cpu_seconds(RUSAGE_CHILDREN) - cpu_start);
  }
  report("vireo-cli convert, file sink:", cli, ", best of 3, whole process");
  std::printf("program file: %.1f MB\n", static_cast<double>(fs::file_size(dir / "board.tpx")) / 1e6);
  if (std::getenv("VIREO_BENCH_KEEP")) {
    std::printf("kept %s\n", dir.c_str());  // for profiling: perf record vireo-cli convert board.gtl
  } else {
    fs::remove_all(dir);
  }
  return 0;
}
