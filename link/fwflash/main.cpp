// fwflash: the loader that puts new firmware into the controller. The desktop program starts it as
//   fwflash  N:D FILE
// with N the serial port's number ("com12" gives 12) and FILE a Motorola S-record file. The file is
// checked whole first (record types, lengths, checksums, the record count); what it would load is
// reported (address ranges, byte count), and only a sound file is sent: record by record, each line
// ended by CR LF, waiting for the controller's ACK (06h) before the next. A NAK (15h) or no answer
// ends the load. The port is "comN" as everywhere in vireo: VIREO_COM<N>, else /dev/ttyS<N-1>.
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "link/devices/posix_serial_port.h"
#include "link/fwflash/srecord.h"

namespace {

constexpr std::string_view kUsage =
    "usage: fwflash [--check] [--baud N] [--timeout MS] PORT:D FILE\n"
    "Loads a Motorola S-record firmware file (.s19) into the controller on serial port PORT (1 to 24,\n"
    "the port comPORT: VIREO_COM<PORT>, else /dev/ttyS<PORT-1>). \":D\" asks for the download.\n"
    "  --check       check the file and report what it would load, send nothing\n"
    "  --baud N      serial speed (default 38400)\n"
    "  --timeout MS  how long to wait for each record's acknowledgement (default 2000)\n"
    "Exit status: 0 loaded (or checked), 1 a fault in the file or on the port, 2 a wrong command line.\n";

constexpr char kAck = 0x06;
constexpr char kNak = 0x15;

struct Options {
  bool check_only = false;
  int baud = 38400;
  int timeout_ms = 2000;
  int port = 0;
  std::string file;
};

int usage_error(const std::string& message) {
  std::cerr << "fwflash: " << message << "\n" << kUsage;
  return 2;
}

// "N:D" with N from 1 to 24; 0 when the text is not that.
int port_of(std::string_view spec) {
  if (spec.size() < 3 || spec.size() > 4 || !spec.ends_with(":D")) return 0;
  int number = 0;
  for (char c : spec.substr(0, spec.size() - 2)) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return spec[0] != '0' && number <= 24 ? number : 0;
}

bool positive_number(std::string_view text, int& value) {
  value = 0;
  if (text.empty() || text.size() > 7) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value > 0;
}

void report(const vireo::srec::Image& image, const std::string& file) {
  std::cout << "file " << file << "\n";
  if (!image.header.empty()) {
    std::string header = image.header;
    for (char& c : header)
      if (c < 32 || c > 126) c = '.';
    std::cout << "header " << header << "\n";
  }
  std::cout << "records " << image.lines.size() << ", data records " << image.data_records << "\n";
  for (const vireo::srec::Range& r : image.ranges)
    std::cout << "range " << vireo::srec::hex_address(r.first) << "-" << vireo::srec::hex_address(r.last) << " ("
              << (std::uint64_t{r.last} - r.first + 1) << " bytes)\n";
  std::cout << "bytes " << image.bytes << "\n";
  if (image.has_start) std::cout << "start " << vireo::srec::hex_address(image.start) << "\n";
}

// Waits for the controller's answer to one record: true for ACK; other bytes are skipped.
bool acknowledged(vireo::PosixSerialPort& port, int timeout_ms, std::string& error) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      error = "no answer from the controller";
      return false;
    }
    pollfd fd{port.native_handle(), POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    std::string bytes;
    if (!port.read_available(bytes)) {
      error = port.error_text;
      return false;
    }
    for (char c : bytes) {
      if (c == kAck) return true;
      if (c == kNak) {
        error = "the controller refused the record";
        return false;
      }
    }
  }
}

int send(const vireo::srec::Image& image, const Options& options) {
  vireo::PosixSerialPort port;
  if (!port.open(options.port, options.baud)) {
    std::cerr << "fwflash: Errore " << port.error_number << ": " << port.error_text << "\n";
    return 1;
  }
  std::cout << "sending to " << port.path() << "\n";
  for (std::size_t i = 0; i < image.lines.size(); ++i) {
    const std::string line = image.lines[i] + "\r\n";
    for (char c : line) {
      if (!port.write_char(c)) {
        std::cerr << "fwflash: record " << i + 1 << ": " << port.error_text << "\n";
        return 1;
      }
    }
    if (std::string error; !acknowledged(port, options.timeout_ms, error)) {
      std::cerr << "fwflash: record " << i + 1 << ": " << error << "\n";
      return 1;
    }
  }
  std::cout << "loaded " << image.lines.size() << " records, " << image.bytes << " bytes\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (argument == "--check") {
      options.check_only = true;
    } else if (argument == "--baud" || argument == "--timeout") {
      if (++i == argc) return usage_error(std::string(argument) + " needs a number");
      int& value = argument == "--baud" ? options.baud : options.timeout_ms;
      if (!positive_number(argv[i], value)) return usage_error(std::string(argument) + " needs a number");
    } else {
      rest.emplace_back(argument);
    }
  }
  if (rest.empty()) return usage_error("no port");
  options.port = port_of(rest.front());
  if (options.port == 0) return usage_error("the port is N:D with N from 1 to 24, not " + rest.front());
  // The program is started with a plain command line: a path with blanks reaches it in pieces.
  for (std::size_t i = 1; i < rest.size(); ++i) options.file += (i > 1 ? " " : "") + rest[i];
  if (options.file.empty()) return usage_error("no firmware file");

  std::ifstream in(options.file, std::ios::binary);
  if (!in) {
    std::cerr << "fwflash: cannot read " << options.file << "\n";
    return 1;
  }
  std::ostringstream content;
  content << in.rdbuf();
  const vireo::srec::Image image = vireo::srec::read_image(content.str());
  report(image, options.file);
  if (!image.errors.empty()) {
    for (const std::string& error : image.errors) std::cerr << "fwflash: " << error << "\n";
    std::cerr << "fwflash: " << image.errors.size() << " errors, nothing sent\n";
    return 1;
  }
  if (options.check_only) return 0;
  return send(image, options);
}
