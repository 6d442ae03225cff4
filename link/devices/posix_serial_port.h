// The serial port over the POSIX terminal interface: "comN" is opened at the path the port map gives
// it, raw, 8 data bits, no parity, 1 stop bit, no handshaking. Each written character has left for the
// wire before write_char returns. A port whose modem lines cannot be read (a pseudo-terminal, some USB
// adapters) reads DSR as on. Received characters come out one event each; the line errors a serial
// driver counts (break, framing, overrun, parity, its own buffer overflowing) come out as their events,
// and a port that can no longer be read (the device went away) reports the end of its input once.
#pragma once

#include <deque>
#include <string>

#include "core/serial_port.h"

namespace vireo {

class PosixSerialPort : public SerialPort {
 public:
  explicit PosixSerialPort(PortMap ports = {});
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  // Opens the port exclusively: a port another program holds is refused with error 8005.
  bool open(int number, int baud) override;
  void close() override;
  bool is_open() const override { return fd_ >= 0; }
  bool dsr() override;
  bool write_char(char c) override;
  bool next_event(SerialEvent& event) override;
  void clear_input() override;

  // For the receive side: the open descriptor (-1 while closed), to wait on with poll(), and the
  // bytes that have arrived, read without waiting. read_available returns false and fills the error
  // fields when the port cannot be read (also when the other end hung up).
  int native_handle() const { return fd_; }
  bool read_available(std::string& into);
  // The device path of the open port.
  const std::string& path() const { return path_; }

 private:
  bool fail(int number, std::string text);
  // Queues an event for every line error the driver counted since the last look.
  void queue_line_errors(std::chrono::steady_clock::time_point now);

  PortMap ports_;
  int fd_ = -1;
  std::string path_;
  bool modem_lines_ = true;  // false: DSR cannot be read and counts as on
  std::deque<SerialEvent> pending_;  // taken from the port, not yet handed out
  // The driver's error counters at the last look, in the order of kErrorEvents; absent where the
  // driver keeps none (a pseudo-terminal).
  bool error_counters_ = false;
  int error_counts_[5] = {};
  bool input_ended_ = false;  // the end of the input was reported; nothing more is read
};

}  // namespace vireo
