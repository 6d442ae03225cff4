#include "link/devices/posix_serial_port.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "base/run_error.h"

namespace vireo {
namespace {

struct Speed {
  int baud;
  speed_t code;
};
constexpr Speed kSpeeds[] = {{9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

// How long one character may wait for room in the driver's buffer before the write is given up.
constexpr int kWriteTimeoutMs = 5000;

std::string reason(int error) { return std::strerror(error); }

// The driver's line error counters and the events they stand for.
struct ErrorCounter {
  int serial_icounter_struct::*count;
  int code;
};
constexpr ErrorCounter kErrorEvents[] = {
    {&serial_icounter_struct::brk, comm_event::kBreak},
    {&serial_icounter_struct::frame, comm_event::kFraming},
    {&serial_icounter_struct::overrun, comm_event::kOverrun},
    {&serial_icounter_struct::buf_overrun, comm_event::kReceiveOverflow},
    {&serial_icounter_struct::parity, comm_event::kParity},
};
static_assert(std::size(kErrorEvents) == 5);

bool read_counters(int fd, serial_icounter_struct& counters) { return ::ioctl(fd, TIOCGICOUNT, &counters) == 0; }

}  // namespace

PosixSerialPort::PosixSerialPort(PortMap ports) : ports_(std::move(ports)) {}

PosixSerialPort::~PosixSerialPort() { close(); }

bool PosixSerialPort::fail(int number, std::string text) {
  error_number = number;
  error_text = std::move(text);
  return false;
}

bool PosixSerialPort::open(int number, int baud) {
  close();
  error_number = 0;
  error_text.clear();
  const Speed* speed = nullptr;
  for (const Speed& s : kSpeeds)
    if (s.baud == baud) speed = &s;
  if (!speed) return fail(err::kInvalidArgument, "unsupported serial speed " + std::to_string(baud));

  const std::string path = ports_.path(number);
  const std::string name = path + " (com" + std::to_string(number) + ")";
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == EBUSY) return fail(err::kPortAlreadyOpen, "Port already open: " + name + " is in use");
    if (error == ENOENT || error == ENXIO || error == ENODEV)
      return fail(err::kInvalidPort, "Invalid port number: " + name + ": " + reason(error));
    return fail(err::kPortUnavailable, "The hardware is not available: " + name + ": " + reason(error));
  }
  const auto give_up = [&](int code, std::string text) {
    ::close(fd);
    return fail(code, std::move(text));
  };
  // Another program (or another vireo) that has the port is told so rather than sharing it.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    return give_up(err::kPortAlreadyOpen, "Port already open: " + name + " is in use by another program");

  termios tio{};
  if (::tcgetattr(fd, &tio) != 0)
    return give_up(err::kInvalidPort, "Invalid port number: " + name + " is not a serial port: " + reason(errno));
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, speed->code);
  ::cfsetospeed(&tio, speed->code);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0)
    return give_up(err::kPortUnavailable, "The hardware is not available: " + name + ": " + reason(errno));
  ::tcflush(fd, TCIOFLUSH);
  ::ioctl(fd, TIOCEXCL);  // keep other programs from opening it too, where the driver supports it

  int lines = 0;
  modem_lines_ = ::ioctl(fd, TIOCMGET, &lines) == 0;
  serial_icounter_struct counters{};
  error_counters_ = read_counters(fd, counters);
  for (std::size_t k = 0; k < std::size(kErrorEvents); ++k) error_counts_[k] = counters.*kErrorEvents[k].count;
  pending_.clear();
  input_ended_ = false;
  fd_ = fd;
  path_ = path;
  return true;
}

void PosixSerialPort::close() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);  // the flag outlives this descriptor where another one holds the device open
  ::close(fd_);            // also releases the lock
  fd_ = -1;
  pending_.clear();
}

bool PosixSerialPort::dsr() {
  if (fd_ < 0 || !modem_lines_) return true;
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) != 0) return true;
  return (lines & TIOCM_DSR) != 0;
}

bool PosixSerialPort::write_char(char c) {
  if (fd_ < 0) return fail(err::kPortNotOpen, "The device is not open");
  int waited_ms = 0;
  for (;;) {
    const ssize_t n = ::write(fd_, &c, 1);
    if (n == 1) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return fail(err::kDeviceIo, "Device I/O error: " + path_ + ": " + reason(errno));
    // The driver's buffer is full: wait for room, for a while.
    if (waited_ms >= kWriteTimeoutMs)
      return fail(err::kDeviceIo, "Device I/O error: " + path_ + ": nothing could be sent for 5 seconds");
    pollfd p{fd_, POLLOUT, 0};
    ::poll(&p, 1, 100);
    waited_ms += 100;
  }
  while (::tcdrain(fd_) != 0) {
    if (errno != EINTR) return fail(err::kDeviceIo, "Device I/O error: " + path_ + ": " + reason(errno));
  }
  return true;
}

bool PosixSerialPort::read_available(std::string& into) {
  if (fd_ < 0) return fail(err::kPortNotOpen, "The device is not open");
  char buffer[256];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0 || errno == EAGAIN) return true;
    if (errno == EINTR) continue;
    return fail(err::kDeviceIo, "Device I/O error: " + path_ + ": " + reason(errno));
  }
}

void PosixSerialPort::queue_line_errors(std::chrono::steady_clock::time_point now) {
  serial_icounter_struct counters{};
  if (!error_counters_ || !read_counters(fd_, counters)) return;
  for (std::size_t k = 0; k < std::size(kErrorEvents); ++k) {
    const int count = counters.*kErrorEvents[k].count;
    if (count != error_counts_[k]) pending_.push_back({kErrorEvents[k].code, "", now});
    error_counts_[k] = count;
  }
}

bool PosixSerialPort::next_event(SerialEvent& event) {
  if (pending_.empty() && fd_ >= 0 && !input_ended_) {
    const auto now = std::chrono::steady_clock::now();
    queue_line_errors(now);
    std::string received;
    if (read_available(received)) {
      for (char c : received) pending_.push_back({comm_event::kReceive, std::string(1, c), now});
    } else {
      input_ended_ = true;
      pending_.push_back({comm_event::kEndOfFile, "", now});
    }
  }
  if (pending_.empty()) return false;
  event = std::move(pending_.front());
  pending_.pop_front();
  return true;
}

void PosixSerialPort::clear_input() {
  pending_.clear();
  if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

}  // namespace vireo
