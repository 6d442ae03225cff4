// A serial port wired to the simulated controller: every character written reaches it, and its
// replies come back as received characters at the test's clock.
#pragma once

#include <chrono>

#include "sim/controller.h"
#include "tests/support/fake_serial_port.h"

namespace vireo::test {

class SimulatedPort : public FakeSerialPort {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  SimulatedPort(sim::Controller& controller, const TimePoint& now) : controller_(controller), now_(now) {}

  bool answering = true;  // false: the controller stays silent

  bool write_char(char c) override {
    if (!FakeSerialPort::write_char(c)) return false;
    if (controller_.receive(c) && answering) receive(controller_.reply(), now_);
    return true;
  }

 private:
  sim::Controller& controller_;
  const TimePoint& now_;
};

}  // namespace vireo::test
