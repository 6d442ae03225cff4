// Converts a G-code part program and an RML-1 milling file with `vireo-cli convert` as a separate
// process (2D mode, program-file sink, tool changes answered by --manual-answer ok; the part's arc
// centres are relative to their start, so `ij_mode` is on), best of 5, and
// prints the input rate in MB/s and the peak resident memory of the process beside its budget
// (input + 64 MB).
// Usage: gcode_rml_bench [PART.ngc] [RML_MEGABYTES]
//   PART.ngc defaults to /work/bench-inputs/part.ngc (the shared G-code benchmark input); the RML
//   file of RML_MEGABYTES (default 20) is generated here.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Run {
  double wall = 1e9;
  double cpu = 1e9;
  double peak_mb = 0;
};

// One whole-process run; its wall and processor seconds and its peak resident set.
Run run_cli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    freopen("/dev/null", "w", stderr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  run.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "vireo-cli convert failed (status %d)\n", status);
    std::exit(1);
  }
  return run;
}

void measure(const char* what, const fs::path& input, const std::vector<std::string>& args) {
  const double mb = static_cast<double>(fs::file_size(input)) / 1e6;
  Run best;
  for (int i = 0; i < 5; ++i) {
    const Run r = run_cli(args);
    best.wall = std::min(best.wall, r.wall);
    best.cpu = std::min(best.cpu, r.cpu);
    best.peak_mb = std::max(best.peak_mb, r.peak_mb);
  }
  std::printf("%-8s %6.1f MB input: %6.1f MB/s wall, %6.1f MB/s cpu (%.3f s, best of 5); peak RSS %.1f MB "
              "(budget %.1f MB)\n",
              what, mb, mb / best.wall, mb / best.cpu, best.wall, best.peak_mb, mb + 64);
}

// An RML-1 file of engraving passes: mode and speed commands, then coordinate triplets.
void write_rml(const fs::path& path, double megabytes) {
  std::ofstream out(path, std::ios::binary);
  const auto target = static_cast<std::size_t>(megabytes * 1e6);
  std::size_t written = 0;
  std::string block = ";;^IN;!MC1;V15;^PA;^pa;!PZ-40,0;\r\n";
  unsigned seed = 12345;
  const auto next = [&](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % range);
  };
  while (written < target) {
    out << block;
    written += block.size();
    block.clear();
    const int depth = -10 - next(60);
    for (int i = 0; i < 40; ++i) {
      block += "Z" + std::to_string(next(8000)) + "," + std::to_string(next(6000)) + "," +
               std::to_string(i == 0 ? 0 : depth) + ";\r\n";
    }
    if (next(10) == 0) block += "V" + std::to_string(1 + next(30)) + ";!MC0;!MC1;\r\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path part = argc > 1 ? argv[1] : "/work/bench-inputs/part.ngc";
  const double rml_megabytes = argc > 2 ? std::atof(argv[2]) : 20;
  const fs::path dir = fs::temp_directory_path() / ("vireo-gcode-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string cli = VIREO_CLI;

  if (fs::exists(part)) {
    measure("G-code", part,
            {cli, "convert", part.string(), "--type", "gc", "--set", "ij_mode=1", "--manual-answer", "ok", "--output",
             (dir / "part.tpx").string()});
    std::printf("         program file %.1f MB\n", static_cast<double>(fs::file_size(dir / "part.tpx")) / 1e6);
  } else {
    std::printf("G-code   %s is not there (python3 shared/bench/gen_inputs.py --only ngc)\n", part.c_str());
  }

  const fs::path rml = dir / "mill.rml";
  write_rml(rml, rml_megabytes);
  measure("RML-1", rml, {cli, "convert", rml.string(), "--output", (dir / "mill.tpx").string()});
  std::printf("         program file %.1f MB\n", static_cast<double>(fs::file_size(dir / "mill.tpx")) / 1e6);
  fs::remove_all(dir);
  return 0;
}
