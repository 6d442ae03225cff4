// The simulated KORA controller: takes the command stream character by character, cuts it into
// commands at "*" (and at the requests, which have none), keeps the position, feed and spindle that the
// commands set, and answers the position request ("ga1 ge ga0", and "ga" after a probing run's "gb")
// with a position frame and the status request "$" with a text. Probing moves ("gh1") stop where the
// probe touches the workpiece; "(" ... ")()" stores commands in the EEROM buffer and "?" runs them.
#pragma once

#include <cstdint>
#include <optional>
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

// A workpiece the probe touches ("gh1" moves stop at its walls), in hundredths of a millimetre. A
// cavity is a pocket whose walls stand at x_min, x_max, y_min and y_max around the probe; an island
// is a block over [x_min, x_max] x [y_min, y_max] that the probe meets below z_top (the machine's Z
// grows downwards), and clears above it.
struct Workpiece {
  enum class Kind { none, cavity, island };
  Kind kind = Kind::none;
  std::int64_t x_min = 0, x_max = 0, y_min = 0, y_max = 0, z_top = 0;
};
// "XMIN,XMAX,YMIN,YMAX" for a cavity, with ",ZTOP" for an island; nothing when the text is not that.
std::optional<Workpiece> parse_workpiece(Workpiece::Kind kind, std::string_view text);
// "X,Y,Z": where the machine stands at the start.
std::optional<MachineState> parse_start(std::string_view text);

// The reply to "ga1 ge ga0": X, Y, Z, A, B, C as unsigned big-endian numbers of 2 bytes (4 with
// `wide`), then the feed code and the spindle code, one byte each. Values outside a field's range are
// held at its ends.
std::string position_frame(const MachineState& state, bool wide);

// No real command is anywhere near this long; the simulator does not grow without bound on a stream
// that never ends one.
inline constexpr std::size_t kLongestCommand = 64 * 1024;

class Controller {
 public:
  explicit Controller(bool wide_frames, Workpiece workpiece = {}, MachineState start = {})
      : wide_(wide_frames), workpiece_(workpiece), state_(start), target_(start) {}

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
  // The commands stored in the EEROM buffer, and whether it is storing now.
  const std::string& eerom() const { return eerom_; }
  bool storing() const { return storing_; }

 private:
  bool store(char c);
  bool complete_reply(std::string_view command, bool status);
  void carry_out(std::string_view command);
  void run_stored();
  void move_to_target();
  std::int64_t contact(std::int64_t MachineState::*axis, std::int64_t from, std::int64_t to) const;
  std::string status_dump() const;

  bool wide_;
  Workpiece workpiece_;
  bool probe_armed_ = false;  // "gh1" until "gh0"
  bool storing_ = false;      // between "(" and ")()"
  std::string eerom_;
  cmd::CommandCutter cutter_;
  std::string command_;
  std::string reply_;
  std::size_t dropped_ = 0;
  MachineState state_;
  MachineState target_;  // state_ with the axis values written since the last "*"
};

}  // namespace vireo::sim
