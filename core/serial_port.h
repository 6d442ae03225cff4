// The serial port that carries the command stream to the controller. The program and the command-line
// front end give the logic an implementation; tests give it a scripted fake.
#pragma once

#include <map>
#include <string>

namespace vireo {

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
