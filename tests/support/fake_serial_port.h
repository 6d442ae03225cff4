// A serial port for tests: the DSR line follows a script, every written character is recorded
// together with the number of DSR readings taken before it, and the events a test queues come out
// of the receive side in order.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
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
  std::deque<SerialEvent> incoming;  // waiting to be taken by next_event
  int input_clears = 0;

  // Queues one received-character event per byte, all seen at `time`.
  void receive(std::string_view bytes, std::chrono::steady_clock::time_point time) {
    for (char c : bytes) incoming.push_back({comm_event::kReceive, std::string(1, c), time});
  }

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
  bool next_event(SerialEvent& event) override {
    if (incoming.empty()) return false;
    event = std::move(incoming.front());
    incoming.pop_front();
    return true;
  }
  // Drops the characters still waiting; other events stay.
  void clear_input() override {
    ++input_clears;
    std::erase_if(incoming, [](const SerialEvent& e) { return e.code == comm_event::kReceive; });
  }

 private:
  bool open_ = false;
};

}  // namespace vireo::test
