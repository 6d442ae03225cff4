// kora-sim: a KORA controller simulated on a pseudo-terminal. Prints the terminal's path on its first
// line, then logs every command it receives and answers the position request with a position frame.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include "sim/controller.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kora-sim [--log FILE] [--32bit]\n"
    "Simulates a KORA controller on a pseudo-terminal. The first line printed is the terminal's path:\n"
    "point a serial port at it (VIREO_COM1=PATH, or vireo-cli --port com1=PATH).\n"
    "Every command received (cut at \"*\", and at the position request \"ga1 ge ga0\") is logged on its\n"
    "own line; the request is answered with the position frame: X, Y, Z, A, B, C as unsigned\n"
    "big-endian 16-bit numbers, then the feed code and the spindle code (14 bytes).\n"
    "options:\n"
    "  --log FILE  log the commands to FILE (created or emptied) instead of standard output\n"
    "  --32bit     answer with 32-bit axis values (26-byte frames), as with quote32bit on\n"
    "  --help      show this text\n"
    "Ends on SIGTERM or SIGINT (taking what still arrives for at most a second); a last command\n"
    "without \"*\" is logged then. A command longer than 64 kB without \"*\" is dropped and logged.\n";

// At the end, input is taken until the terminal has been quiet this long, but for no longer than the
// drain time: a sender that goes on writing does not keep the simulator alive.
constexpr int kDrainMs = 50;
constexpr auto kDrainTime = std::chrono::seconds(1);

struct Options {
  std::string log;
  bool wide = false;
};

int usage_error(const std::string& message) {
  std::cerr << "kora-sim: " << message << "\n" << kUsage;
  return 2;
}

int fail(const std::string& what) {
  std::cerr << "kora-sim: " << what << ": " << std::strerror(errno) << "\n";
  return 1;
}

bool write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The terminal side the program talks to: raw bytes, no echo, no line editing.
bool make_raw(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

int run(const Options& options) {
  std::ofstream log_file;
  if (!options.log.empty()) {
    log_file.open(options.log, std::ios::binary | std::ios::trunc);
    if (!log_file) return fail("cannot write " + options.log);
  }
  std::ostream& log = options.log.empty() ? std::cout : log_file;

  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return fail("no pseudo-terminal");
  const char* name = ::ptsname(master);
  if (!name) return fail("no pseudo-terminal name");
  const std::string path = name;
  // Holding the terminal side open keeps it usable across the program's own opens and closes.
  const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0 || !make_raw(slave)) return fail("cannot set up " + path);

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  ::sigprocmask(SIG_BLOCK, &signals, nullptr);
  const int signal_fd = ::signalfd(-1, &signals, SFD_CLOEXEC);
  if (signal_fd < 0) return fail("signalfd");

  std::cout << path << std::endl;

  vireo::sim::Controller controller(options.wide);
  // Reads what has arrived, logs the commands and answers the requests. False when the terminal fails.
  const auto receive = [&] {
    char buffer[4096];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n <= 0) return false;
    for (ssize_t k = 0; k < n; ++k) {
      if (!controller.receive(buffer[k])) {
        if (controller.dropped() != 0)
          log << "(dropped " << controller.dropped() << " characters without \"*\")" << std::endl;
        continue;
      }
      log << controller.command() << std::endl;
      if (!controller.reply().empty() && !write_all(master, controller.reply())) return false;
    }
    return true;
  };
  for (;;) {
    pollfd fds[2] = {{master, POLLIN, 0}, {signal_fd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return fail("poll");
    }
    if (fds[1].revents != 0) break;
    if (fds[0].revents != 0 && !receive()) return fail("read " + path);
  }
  // What was sent before the signal is still taken, so the log is complete.
  const auto drain_end = std::chrono::steady_clock::now() + kDrainTime;
  for (pollfd rest{master, POLLIN, 0};
       std::chrono::steady_clock::now() < drain_end && ::poll(&rest, 1, kDrainMs) > 0 && receive();) {
  }
  if (!controller.unfinished().empty()) log << controller.unfinished() << std::endl;
  ::close(slave);
  ::close(master);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (argument == "--32bit") {
      options.wide = true;
    } else if (argument == "--log") {
      if (++i == argc) return usage_error("--log needs a file");
      options.log = argv[i];
    } else {
      return usage_error("unknown option " + std::string(argument));
    }
  }
  return run(options);
}
