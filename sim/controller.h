// The simulated KORA controller: takes the command stream character by character, cuts it into
// commands at "*" (and at the position request, which has none), keeps the position, feed and spindle
// that the commands set, and answers the position request with a position frame.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/command_language.h"

namespace vireo::sim {

struct MachineState {
  std::int64_t x = 0, y = 0, z = 0;  // hundredths of a millimetre
  std::int64_t a = 0, b = 0, c = 0;  // motor steps
  int feed = 0;                      // feed code 0 to 99
  int spindle = 0;                   // spindle code 0 to 12
  friend bool operator==(const MachineState&, const MachineState&) = default;
};

// The reply to "ga1 ge ga0": X, Y, Z, A, B, C as unsigned big-endian numbers of 2 bytes (4 with
// `wide`), then the feed code and the spindle code, one byte each. Values outside a field's range are
// held at its ends.
std::string position_frame(const MachineState& state, bool wide);

// No real command is anywhere near this long; the simulator does not grow without bound on a stream
// that never ends one.
inline constexpr std::size_t kLongestCommand = 64 * 1024;

class Controller {
 public:
  explicit Controller(bool wide_frames) : wide_(wide_frames) {}

  // Takes one received character; returns true when it completed a command. command() then holds
  // it and reply() the bytes to answer with ("" for none). A command that grows past
  // kLongestCommand characters without its "*" is dropped; dropped() then tells how long it was.
  bool receive(char c);
  std::size_t dropped() const { return dropped_; }
  const std::string& command() const { return command_; }
  const std::string& reply() const { return reply_; }
  // The characters received after the last command.
  const std::string& unfinished() const { return cutter_.pending(); }

  const MachineState& state() const { return state_; }

 private:
  void carry_out(std::string_view command);
  void move_to_target();

  bool wide_;
  cmd::CommandCutter cutter_;
  std::string command_;
  std::string reply_;
  std::size_t dropped_ = 0;
  MachineState state_;
  MachineState target_;  // state_ with the axis values written since the last "*"
};

}  // namespace vireo::sim
