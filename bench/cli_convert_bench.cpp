// Runs `vireo-cli convert` as a whole process on a Gerber board into each sink (program file, output
// text, the dummy device), best of 5, and prints the input rate in MB/s and the child's peak RSS.
// Usage: cli_convert_bench [BOARD.gbr [VIREO_CLI]] (default: $VIREO_BENCH_INPUTS/board.gbr, else
// /work/bench-inputs/board.gbr, and the vireo-cli of this build; another build's binary can be named
// to compare). Targets: 100 MB/s into the file, 50 MB/s into the text and the
// dummy device, peak RSS at most the input size + 64 MB.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Run {
  double seconds = 0;
  long peak_rss_kb = 0;
  int status = -1;
};

// One child process with stdout and stderr thrown away; its time and peak RSS from wait4.
Run run_once(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peak_rss_kb = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const char* inputs = std::getenv("VIREO_BENCH_INPUTS");
  const fs::path board = argc > 1 ? fs::path(argv[1]) : fs::path(inputs ? inputs : "/work/bench-inputs") / "board.gbr";
  std::error_code error;
  const auto size = fs::file_size(board, error);
  if (error) {
    std::fprintf(stderr, "cli_convert_bench: %s: %s\n", board.c_str(), error.message().c_str());
    return 1;
  }
  const std::string cli = argc > 2 ? argv[2] : VIREO_CLI;
  const double megabytes = static_cast<double>(size) / 1e6;
  const fs::path output = fs::temp_directory_path() / ("cli_convert_bench_" + std::to_string(getpid()) + ".tpx");
  struct Sink {
    const char* name;
    std::vector<std::string> options;
  } sinks[] = {
      {"file", {"--output", output.string()}},
      {"rtf", {"--sink", "rtf"}},
      {"dummy device", {"--sink", "periferica", "--set", "s_periferica=dummy"}},
  };
  std::printf("%s convert %s (%.1f MB), best of 5\n", cli.c_str(), board.c_str(), megabytes);
  for (const Sink& sink : sinks) {
    std::vector<std::string> args = {cli, "convert", board.string()};
    args.insert(args.end(), sink.options.begin(), sink.options.end());
    Run best;
    long peak = 0;
    for (int i = 0; i < 5; ++i) {
      const Run run = run_once(args);
      if (run.status != 0) {
        std::fprintf(stderr, "cli_convert_bench: %s sink: exit status %d\n", sink.name, run.status);
        return 1;
      }
      if (i == 0 || run.seconds < best.seconds) best = run;
      peak = std::max(peak, run.peak_rss_kb);
    }
    std::printf("  %-13s %7.1f MB/s  (%.3f s)  peak RSS %.1f MB\n", sink.name, megabytes / best.seconds, best.seconds,
                static_cast<double>(peak) / 1024);
  }
  fs::remove(output, error);
  return 0;
}
