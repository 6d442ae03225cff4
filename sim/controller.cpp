#include "sim/controller.h"

#include <algorithm>

namespace vireo::sim {
namespace {

void put(std::string& frame, std::int64_t value, int bytes) {
  const std::int64_t highest = bytes == 2 ? 0xFFFF : 0x7FFFFFFF;
  const std::uint64_t v = static_cast<std::uint64_t>(std::clamp<std::int64_t>(value, 0, highest));
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) frame += static_cast<char>((v >> shift) & 0xFF);
}

// The number written after a letter: digits, and a minus sign that a negative fixed-width value
// carries inside its zeros ("0-200" is -200). Sets `end` past it.
std::int64_t number_at(std::string_view text, std::size_t from, std::size_t& end) {
  std::int64_t value = 0;
  bool negative = false;
  end = from;
  for (; end < text.size(); ++end) {
    const char c = text[end];
    if (c == '-') {
      negative = true;
    } else if (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
    } else {
      break;
    }
  }
  return negative ? -value : value;
}

std::int64_t MachineState::*axis_of(char letter) {
  switch (letter) {
    case 'X': return &MachineState::x;
    case 'Y': return &MachineState::y;
    case 'Z': return &MachineState::z;
    case 'A': return &MachineState::a;
    case 'B': return &MachineState::b;
    case 'C': return &MachineState::c;
    default: return nullptr;
  }
}

// Commands of two lower-case letters: home and origin make an axis 0, single steps move it by one,
// the feed and spindle steps wrap around their ranges.
struct TwoLetter {
  std::string_view name;
  std::int64_t MachineState::*axis;
  int step;  // 0: the axis becomes 0
};
constexpr TwoLetter kAxisCommands[] = {
    {"cx", &MachineState::x, 0}, {"cy", &MachineState::y, 0}, {"cz", &MachineState::z, 0},
    {"rx", &MachineState::x, 0}, {"ry", &MachineState::y, 0}, {"rz", &MachineState::z, 0},
    {"xd", &MachineState::x, -1}, {"xu", &MachineState::x, 1}, {"yd", &MachineState::y, -1},
    {"yu", &MachineState::y, 1},  {"zd", &MachineState::z, -1}, {"zu", &MachineState::z, 1},
};

struct CodeStep {
  std::string_view name;
  int MachineState::*code;
  int step;
  int highest;
};
constexpr CodeStep kCodeCommands[] = {
    {"fd", &MachineState::feed, -1, 99}, {"fu", &MachineState::feed, 1, 99},
    {"sd", &MachineState::spindle, -1, 12}, {"su", &MachineState::spindle, 1, 12},
};

}  // namespace

std::string position_frame(const MachineState& s, bool wide) {
  std::string frame;
  const int bytes = wide ? 4 : 2;
  for (std::int64_t v : {s.x, s.y, s.z, s.a, s.b, s.c}) put(frame, v, bytes);
  put(frame, s.feed, 1);
  put(frame, s.spindle, 1);
  return frame;
}

bool Controller::receive(char c) {
  reply_.clear();
  dropped_ = 0;
  bool request = false;
  if (cutter_.feed(c)) {
    command_ = cutter_.command();
  } else if (cutter_.pending().ends_with(cmd::kPositionRequest)) {
    // The request has no terminator: it is answered as soon as it is complete.
    command_ = cutter_.pending();
    cutter_ = cmd::CommandCutter{};
    request = true;
  } else {
    if (cutter_.pending().size() >= kLongestCommand) {
      dropped_ = cutter_.pending().size();
      cutter_ = cmd::CommandCutter{};
    }
    return false;
  }
  carry_out(command_);
  if (request) reply_ = position_frame(state_, wide_);
  return true;
}

void Controller::move_to_target() {
  for (auto axis : {&MachineState::x, &MachineState::y, &MachineState::z, &MachineState::a, &MachineState::b,
                    &MachineState::c})
    state_.*axis = target_.*axis;
}

void Controller::carry_out(std::string_view command) {
  std::size_t i = 0;
  while (i < command.size()) {
    const char c = command[i];
    if (auto axis = axis_of(c)) {
      target_.*axis = number_at(command, i + 1, i);
      continue;
    }
    if (c == 'F' || c == 'S') {
      // Exactly two digits follow a feed or spindle code.
      const int code = static_cast<int>(number_at(command.substr(0, i + 3), i + 1, i));
      (c == 'F' ? state_.feed : state_.spindle) = code;
      continue;
    }
    if (c == cmd::kTerminator) move_to_target();
    const std::string_view pair = command.substr(i, 2);
    std::size_t taken = 1;
    for (const TwoLetter& t : kAxisCommands) {
      if (pair != t.name) continue;
      state_.*t.axis = target_.*t.axis = t.step == 0 ? 0 : state_.*t.axis + t.step;
      taken = 2;
    }
    for (const CodeStep& t : kCodeCommands) {
      if (pair != t.name) continue;
      int& code = state_.*t.code;
      code = t.step < 0 ? (code == 0 ? t.highest : code - 1) : (code == t.highest ? 0 : code + 1);
      taken = 2;
    }
    i += taken;
  }
}

}  // namespace vireo::sim
