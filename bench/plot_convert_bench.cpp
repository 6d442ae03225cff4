// Converts the shared drawing and plot inputs with `vireo-cli convert` as separate processes (the
// program-file sink) and prints, per input, the best of five runs as MB/s of input, by the wall clock
// and by processor time (on a shared machine the second tells the program's own speed), and the
// largest peak resident size of the runs beside the input's size.
// Usage: plot_convert_bench [FOLDER] (default /work/bench-inputs: draw.dxf and plot.hpgl).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;

struct Run {
  double wall = 0;
  double cpu = 0;
  long peak_kb = 0;
  int status = -1;
};

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// One whole `vireo-cli convert` process; its output goes to /dev/null, the program file to `output`.
Run convert_once(const fs::path& input, const fs::path& output) {
  std::vector<std::string> args = {VIREO_CLI, "convert", input.string(), "--type", "plt", "--output", output.string()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Run run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return run;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peak_kb = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? argv[1] : "/work/bench-inputs";
  const fs::path output = fs::temp_directory_path() / ("plot_convert_bench_" + std::to_string(getpid()) + ".tpx");
  int failures = 0;
  for (const char* name : {"draw.dxf", "plot.hpgl"}) {
    const fs::path input = folder / name;
    std::error_code error;
    const auto size = fs::file_size(input, error);
    if (error) {
      std::printf("%s: not there, skipped\n", input.c_str());
      continue;
    }
    const double megabytes = static_cast<double>(size) / 1e6;
    Run best{1e9, 1e9, 0, 0};
    for (int i = 0; i < kRuns; ++i) {
      const Run run = convert_once(input, output);
      if (run.status != 0) {
        std::printf("%s: vireo-cli convert ended with status %d\n", name, run.status);
        ++failures;
        break;
      }
      best.wall = std::min(best.wall, run.wall);
      best.cpu = std::min(best.cpu, run.cpu);
      best.peak_kb = std::max(best.peak_kb, run.peak_kb);
    }
    std::printf("%-10s %7.1f MB  wall %6.1f MB/s  cpu %6.1f MB/s  (best of %d)  peak RSS %6.1f MB = input + %.1f MB\n",
                name, megabytes, megabytes / best.wall, megabytes / best.cpu, kRuns,
                static_cast<double>(best.peak_kb) * 1024 / 1e6,
                static_cast<double>(best.peak_kb) * 1024 / 1e6 - megabytes);
  }
  fs::remove(output);
  return failures == 0 ? 0 : 1;
}
