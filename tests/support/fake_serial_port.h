// A serial port for tests: the DSR line follows a script and every written character is recorded
// together with the number of DSR readings taken before it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/serial_port.h"

namespace vireo::test {

class FakeSerialPort : public SerialPort {
 public:
  // The reading of DSR for the index-th read (0-based, counted over the port's life); unset: always
  // on. The function may also act, e.g. raise the channel's emergency flag at a given reading.
  std::function<bool(long index)> dsr_line;
  bool refuse_open = false;   // open fails with error 8005 "Port already open"
  bool refuse_write = false;  // write_char fails with error 57

  long dsr_reads = 0;
  std::string written;
  std::vector<long> reads_before_char;  // dsr_reads at the moment each character was written
  int opened_number = 0;                // the port number of the last open
  int opened_baud = 0;
  int closes = 0;

  bool open(int number, int baud) override {
    if (refuse_open) {
      error_number = 8005;
      error_text = "Port already open";
      return false;
    }
    opened_number = number;
    opened_baud = baud;
    open_ = true;
    return true;
  }
  void close() override {
    ++closes;
    open_ = false;
  }
  bool is_open() const override { return open_; }
  bool dsr() override {
    const long index = dsr_reads++;
    return dsr_line ? dsr_line(index) : true;
  }
  bool write_char(char c) override {
    if (refuse_write) {
      error_number = 57;
      error_text = "Device I/O error";
      return false;
    }
    written += c;
    reads_before_char.push_back(dsr_reads);
    return true;
  }

 private:
  bool open_ = false;
};

}  // namespace vireo::test
