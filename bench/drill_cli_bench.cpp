// Whole-process `vireo-cli convert` on a drill file: with the tool changer into a program file, and one
// tool at a time for one tool (its program file too). Prints, per mode, the best wall time and the
// best CPU time (user + system) of five runs as MB/s of input, and the largest peak RSS of the runs.
// Usage: drill_cli_bench [DRILL_FILE] [TOOL] (default /work/bench-inputs/board.drl, T1).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Run {
  double seconds = 0;      // wall time
  double cpu_seconds = 0;  // user + system time of the child: the figure that a busy machine leaves intact
  long peak_rss_kb = 0;
  int status = -1;
};

// Runs vireo-cli with its output streams closed into /dev/null and measures the child alone.
Run run_cli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = VIREO_CLI;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(stdout);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  Run run;
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peak_rss_kb = usage.ru_maxrss;
  run.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool report(const char* name, const std::vector<std::string>& args, double megabytes) {
  double best = 1e9;
  double best_cpu = 1e9;
  long peak = 0;
  for (int i = 0; i < 5; ++i) {
    const Run run = run_cli(args);
    if (run.status != 0) {
      std::fprintf(stderr, "%s: vireo-cli exited with %d\n", name, run.status);
      return false;
    }
    best = std::min(best, run.seconds);
    best_cpu = std::min(best_cpu, run.cpu_seconds);
    peak = std::max(peak, run.peak_rss_kb);
  }
  std::printf("%-28s %7.1f MB/s wall (%.3f s), %7.1f MB/s of CPU time (%.3f s), best of 5; peak RSS %.1f MB\n",
              name, megabytes / best, best, megabytes / best_cpu, best_cpu, static_cast<double>(peak) / 1024);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path input = argc > 1 ? argv[1] : "/work/bench-inputs/board.drl";
  const std::string tool = argc > 2 ? argv[2] : "T1";
  std::error_code error;
  const auto bytes = fs::file_size(input, error);
  if (error) {
    std::fprintf(stderr, "cannot read %s\n", input.c_str());
    return 1;
  }
  const double megabytes = static_cast<double>(bytes) / 1e6;
  const fs::path output = fs::temp_directory_path() / ("drill-bench-" + std::to_string(getpid()) + ".tpx");
  std::printf("input: %s, %.1f MB (peak RSS target: input + 64 MB = %.1f MB)\n", input.c_str(), megabytes,
              megabytes * 1e6 / (1024 * 1024) + 64);
  const bool ok =
      report("tool changer, program file", {"convert", input.string(), "--output", output.string()}, megabytes) &&
      report(("single, tool " + tool).c_str(),
             {"convert", input.string(), "--output", output.string(), "--set", "atc_excellon=single", "--tool", tool},
             megabytes);
  fs::remove(output, error);
  return ok ? 0 : 1;
}
