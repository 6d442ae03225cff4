// The serial port that carries the command stream to the controller. The program and the command-line
// front end give the logic an implementation; tests give it a scripted fake.
#pragma once

#include <chrono>
#include <map>
#include <string>

namespace vireo {

// The codes of the port's events, as the receive handler tells them apart.
namespace comm_event {
inline constexpr int kSend = 1, kReceive = 2, kCtsChange = 3, kDsrChange = 4, kCdChange = 5, kRing = 6,
                     kEndOfFile = 7;
inline constexpr int kBreak = 1001, kCtsTimeout = 1002, kDsrTimeout = 1003, kFraming = 1004,
                     kOverrun = 1006, kCdTimeout = 1007, kReceiveOverflow = 1008, kParity = 1009,
                     kTransmitFull = 1010, kDcb = 1011;
}  // namespace comm_event

// One event of the port: a received character (the port reports each one on its own) or a line
// condition. `time` is when the port saw it; the receive handler takes it as "now".
struct SerialEvent {
  int code = comm_event::kReceive;
  std::string input;  // data received: the one character read, "" when none was waiting
  std::chrono::steady_clock::time_point time{};
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens port "com<number>" at the given speed, 8 data bits, no parity, 1 stop bit, no handshaking,
  // with both buffers cleared. Returns false and fills `error_number`/`error_text` on failure.
  virtual bool open(int number, int baud) = 0;
  virtual void close() = 0;
  virtual bool is_open() const = 0;

  // The controller's ready line. A port whose modem lines cannot be read reads it as on.
  virtual bool dsr() = 0;
  // Writes one character and returns once it has left for the wire. False on failure.
  virtual bool write_char(char c) = 0;

  // The receive side. Takes the next waiting event without waiting for one; false when none waits.
  virtual bool next_event(SerialEvent& event) = 0;
  // Throws away every received character not yet taken (the input buffer's count becomes 0).
  virtual void clear_input() = 0;

  int error_number = 0;
  std::string error_text;
};

// Where "comN" lives on this system: an explicit choice (the command line's --port), else the
// environment variable VIREO_COM<N>, else /dev/ttyS<N-1>.
class PortMap {
 public:
  void set(int number, std::string path) { overrides_[number] = std::move(path); }
  std::string path(int number) const;

 private:
  std::map<int, std::string> overrides_;
};

// The port number of a device setting "com1" ... "com24"; 0 when the setting names no such port.
int com_port_number(const std::string& device);

}  // namespace vireo
