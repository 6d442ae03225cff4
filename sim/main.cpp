// kora-sim: a KORA controller simulated on a pseudo-terminal. Prints the terminal's path on its first
// line, then logs every command it receives and answers the position request with a position frame.
#include <cctype>
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

#include "link/fwflash/srecord.h"
#include "sim/controller.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kora-sim [--log FILE] [--32bit] [--partial N [--partial-pause MS]]\n"
    "                [--cavity X1,X2,Y1,Y2 | --island X1,X2,Y1,Y2,ZTOP] [--start X,Y,Z]\n"
    "Simulates a KORA controller on a pseudo-terminal. The first line printed is the terminal's path:\n"
    "point a serial port at it (VIREO_COM1=PATH, or vireo-cli --port com1=PATH).\n"
    "Every command received (cut at \"*\", and at the requests) is logged on its own line. The position\n"
    "request \"ga1 ge ga0\", and \"ga\" after a probing run's \"gb\", is answered with the position frame:\n"
    "X, Y, Z, A, B, C as unsigned big-endian 16-bit numbers, then the feed code and the spindle code\n"
    "(14 bytes); \"$\" with a status line. \"(\" ... \")()\" stores commands, \"?\" runs them.\n"
    "options:\n"
    "  --log FILE  log the commands to FILE (created or emptied) instead of standard output\n"
    "  --32bit     answer with 32-bit axis values (26-byte frames), as with quote32bit on\n"
    "  --cavity XMIN,XMAX,YMIN,YMAX\n"
    "              a pocket whose walls stop probing moves (\"gh1\") at these X and Y (cent/mm)\n"
    "  --island XMIN,XMAX,YMIN,YMAX,ZTOP\n"
    "              a block over these X and Y that probing moves touch below ZTOP (Z grows downwards)\n"
    "  --start X,Y,Z  where the machine stands at the start (default 0,0,0)\n"
    "  --partial N send only the first N bytes of each position frame, keep quiet, then send the\n"
    "              whole frame (a reply broken off halfway, for the receiver's two-second gap rule)\n"
    "  --partial-pause MS  the quiet time after a partial frame, in milliseconds (default 3500)\n"
    "  --help      show this text\n"
    "Firmware records (Motorola S-records, one a line, as fwflash sends them) are logged and answered\n"
    "with ACK (06h), or NAK (15h) when a record is damaged.\n"
    "Ends on SIGTERM or SIGINT (taking what still arrives for at most a second); a last command\n"
    "without \"*\" is logged then. A command longer than 64 kB without \"*\" is dropped and logged.\n";

// At the end, input is taken until the terminal has been quiet this long, but for no longer than the
// drain time: a sender that goes on writing does not keep the simulator alive.
constexpr int kDrainMs = 50;
constexpr auto kDrainTime = std::chrono::seconds(1);

struct Options {
  std::string log;
  bool wide = false;
  vireo::sim::Workpiece workpiece;
  vireo::sim::MachineState start;
  std::size_t partial = 0;  // bytes of a broken-off frame sent before each whole one; 0 for none
  int partial_pause_ms = 3500;
};

// A workpiece option's value; false when it is not the numbers the option wants.
bool read_workpiece(vireo::sim::Workpiece::Kind kind, const char* text, Options& options) {
  const auto workpiece = vireo::sim::parse_workpiece(kind, text);
  if (workpiece) options.workpiece = *workpiece;
  return workpiece.has_value();
}

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

// Sends a position frame; with --partial, first the frame's beginning, then a silence, then the whole
// frame. A stop signal during the silence ends it early. False when the terminal fails.
bool send_reply(int master, int signal_fd, const std::string& frame, const Options& options) {
  if (options.partial > 0) {
    if (!write_all(master, frame.substr(0, options.partial))) return false;
    pollfd stop{signal_fd, POLLIN, 0};
    ::poll(&stop, 1, options.partial_pause_ms);
  }
  return write_all(master, frame);
}

// The terminal side the program talks to: raw bytes, no echo, no line editing.
bool make_raw(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Firmware records arrive as lines: "S", a record type, then hex digits up to the line end. A line
// that starts so is held back from the controller until it is decided; anything else in it (a spindle
// code "S12" followed by a letter, a blank or "*") hands the held characters on. Returns the
// characters for the controller; `answer` is set to ACK or NAK and `record` to the line for a record.
struct FirmwareLines {
  static constexpr std::size_t kShortestRecord = 10;  // "S", type, count, 2 address bytes, checksum
  std::string held;
  bool line_start = true;

  std::string take(char c, char& answer, std::string& record) {
    const bool line_end = c == '\r' || c == '\n';
    if (held.empty()) {
      if (line_start && c == 'S') {
        held = "S";
        return {};
      }
      line_start = line_end;
      return std::string(1, c);
    }
    if (line_end && held.size() >= kShortestRecord) {
      vireo::srec::Record parsed;
      answer = vireo::srec::parse_record(held, parsed).empty() ? '\x06' : '\x15';
      record = std::move(held);
      held.clear();
      line_start = true;
      return {};
    }
    const bool hex = std::isxdigit(static_cast<unsigned char>(c)) && (held.size() > 1 || std::isdigit(static_cast<unsigned char>(c)));
    if (hex) {
      held += c;
      return {};
    }
    std::string out = std::move(held) + c;
    held.clear();
    line_start = line_end;
    return out;
  }
};

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

  vireo::sim::Controller controller(options.wide, options.workpiece, options.start);
  FirmwareLines firmware;
  // Reads what has arrived, logs the commands and answers the requests. False when the terminal fails.
  const auto receive = [&] {
    char buffer[4096];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n <= 0) return false;
    for (ssize_t k = 0; k < n; ++k) {
      char answer = 0;
      std::string record;
      for (char c : firmware.take(buffer[k], answer, record)) {
        if (!controller.receive(c)) {
          if (controller.dropped() != 0)
            log << "(dropped " << controller.dropped() << " characters without \"*\")" << std::endl;
          continue;
        }
        log << controller.command() << std::endl;
        if (!controller.reply().empty() && !send_reply(master, signal_fd, controller.reply(), options)) return false;
      }
      if (answer == 0) continue;
      log << record << (answer == '\x06' ? "" : " NAK") << std::endl;
      if (!write_all(master, std::string(1, answer))) return false;
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
    } else if (argument == "--cavity" || argument == "--island") {
      const auto kind = argument == "--cavity" ? vireo::sim::Workpiece::Kind::cavity : vireo::sim::Workpiece::Kind::island;
      if (++i == argc || !read_workpiece(kind, argv[i], options))
        return usage_error(std::string(argument) + (kind == vireo::sim::Workpiece::Kind::cavity
                                                        ? " needs XMIN,XMAX,YMIN,YMAX"
                                                        : " needs XMIN,XMAX,YMIN,YMAX,ZTOP"));
    } else if (argument == "--start") {
      const auto start = ++i == argc ? std::nullopt : vireo::sim::parse_start(argv[i]);
      if (!start) return usage_error("--start needs X,Y,Z");
      options.start = *start;
    } else if (argument == "--partial" || argument == "--partial-pause") {
      if (++i == argc) return usage_error(std::string(argument) + " needs a number");
      char* end = nullptr;
      errno = 0;
      const long value = std::strtol(argv[i], &end, 10);
      if (*argv[i] == '\0' || *end != '\0' || errno != 0 || value < 0 || value > 600000)
        return usage_error(std::string(argument) + " needs a number from 0 to 600000, not " + argv[i]);
      if (argument == "--partial") {
        options.partial = static_cast<std::size_t>(value);
      } else {
        options.partial_pause_ms = static_cast<int>(value);
      }
    } else if (argument == "--log") {
      if (++i == argc) return usage_error("--log needs a file");
      options.log = argv[i];
    } else {
      return usage_error("unknown option " + std::string(argument));
    }
  }
  if (options.partial >= (options.wide ? 26u : 14u)) return usage_error("--partial must be shorter than the frame");
  return run(options);
}
