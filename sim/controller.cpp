#include "sim/controller.h"

#include <algorithm>
#include <charconv>
#include <vector>

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

// The probing prefixes, and the end of a probing run's position read ("gb" ... "ga").
constexpr std::string_view kProbeArmed = "gh1";
constexpr std::string_view kProbeFree = "gh0";
constexpr std::string_view kProbeRead = "ga";

// The comma-separated whole numbers of a text, or nothing when it holds anything else.
std::optional<std::vector<std::int64_t>> numbers(std::string_view text) {
  std::vector<std::int64_t> values;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || error != std::errc() || end != part.data() + part.size()) return std::nullopt;
    values.push_back(value);
    if (comma == std::string_view::npos) return values;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

std::optional<Workpiece> parse_workpiece(Workpiece::Kind kind, std::string_view text) {
  const auto values = numbers(text);
  const std::size_t wanted = kind == Workpiece::Kind::island ? 5 : 4;
  if (kind == Workpiece::Kind::none || !values || values->size() != wanted) return std::nullopt;
  const auto& v = *values;
  if (v[0] > v[1] || v[2] > v[3]) return std::nullopt;
  return Workpiece{kind, v[0], v[1], v[2], v[3], wanted == 5 ? v[4] : 0};
}

std::optional<MachineState> parse_start(std::string_view text) {
  const auto values = numbers(text);
  if (!values || values->size() != 3) return std::nullopt;
  return MachineState{.x = (*values)[0], .y = (*values)[1], .z = (*values)[2]};
}

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
  // The "(" of a ")()" that comes while nothing is stored does not start storing.
  const bool closing = cutter_.pending().ends_with(cmd::kStoreEnd.front());
  if (storing_ || (c == cmd::kStoreStart.front() && !closing)) return store(c);
  if (cutter_.feed(c)) {
    command_ = cutter_.command();
    carry_out(command_);
    return true;
  }
  const std::string& pending = cutter_.pending();
  // The requests have no terminator: each is answered as soon as it is complete.
  if (pending.ends_with(cmd::kPositionRequest)) return complete_reply(pending, false);
  if (pending.ends_with(kProbeRead) && pending.find(cmd::kProbeStart) != std::string::npos)
    return complete_reply(pending, false);
  if (pending.ends_with(cmd::kStatusDump)) return complete_reply(pending, true);
  if (pending.ends_with(cmd::kStoreEnd)) {
    command_ = pending;
    cutter_ = cmd::CommandCutter{};
    return true;
  }
  if (pending.ends_with(cmd::kRunStored)) {
    command_ = pending;
    cutter_ = cmd::CommandCutter{};
    run_stored();
    return true;
  }
  // A command that never ends is dropped once it is longer than any the controller takes.
  if (pending.size() >= kLongestCommand) {
    dropped_ = pending.size();
    cutter_ = cmd::CommandCutter{};
  }
  return false;
}

// Carries out a request and answers it with the status text or the position frame.
bool Controller::complete_reply(std::string_view command, bool status) {
  command_ = std::string(command);
  cutter_ = cmd::CommandCutter{};
  carry_out(command_);
  reply_ = status ? status_dump() : position_frame(state_, wide_);
  return true;
}

// "(" starts storing: everything up to ")()" goes into the EEROM buffer, unperformed. Each of the two
// brackets counts as a command of its own.
bool Controller::store(char c) {
  if (!storing_) {
    storing_ = true;
    eerom_.clear();
    command_ = std::string(cmd::kStoreStart);
    return true;
  }
  eerom_ += c;
  if (!eerom_.ends_with(cmd::kStoreEnd)) return false;
  eerom_.resize(eerom_.size() - cmd::kStoreEnd.size());
  storing_ = false;
  command_ = std::string(cmd::kStoreEnd);
  return true;
}

// "?": the stored commands run as if received again (their replies go nowhere).
void Controller::run_stored() {
  for (const std::string& command : cmd::cut_commands(eerom_)) carry_out(command);
}

std::string Controller::status_dump() const {
  const MachineState& s = state_;
  return "KORA-SIM X=" + std::to_string(s.x) + " Y=" + std::to_string(s.y) + " Z=" + std::to_string(s.z) +
         " F=" + std::to_string(s.feed) + " S=" + std::to_string(s.spindle) +
         " PROBE=" + (probe_armed_ ? "1" : "0") + " EEROM=" + std::to_string(eerom_.size()) + "\r\n";
}

// Carries out the move to the target. With the probe armed, a move along one axis stops where the
// probe touches the workpiece.
void Controller::move_to_target() {
  const auto axes = {&MachineState::x, &MachineState::y, &MachineState::z, &MachineState::a, &MachineState::b,
                     &MachineState::c};
  int moving = 0;
  for (auto axis : axes) moving += state_.*axis != target_.*axis;
  if (probe_armed_ && moving == 1) {
    for (auto axis : axes)
      if (state_.*axis != target_.*axis) target_.*axis = contact(axis, state_.*axis, target_.*axis);
  }
  for (auto axis : axes) state_.*axis = target_.*axis;
}

// Where a probing move along `axis` from `from` towards `to` ends: at the first wall in its way, or at
// `to`.
std::int64_t Controller::contact(std::int64_t MachineState::*axis, std::int64_t from, std::int64_t to) const {
  const Workpiece& w = workpiece_;
  const bool is_x = axis == &MachineState::x, is_y = axis == &MachineState::y, is_z = axis == &MachineState::z;
  if (w.kind == Workpiece::Kind::none || !(is_x || is_y || is_z)) return to;
  const std::int64_t lo = is_x ? w.x_min : w.y_min;
  const std::int64_t hi = is_x ? w.x_max : w.y_max;
  if (w.kind == Workpiece::Kind::cavity) {
    // The pocket's walls stop the probe on its way out; its floor is not probed.
    if (is_z) return to;
    if (to < from && from >= lo && to < lo) return lo;
    if (to > from && from <= hi && to > hi) return hi;
    return to;
  }
  const auto inside = [](std::int64_t v, std::int64_t a, std::int64_t b) { return v >= a && v <= b; };
  if (is_z) {
    // Down onto the island's top.
    const bool over = inside(state_.x, w.x_min, w.x_max) && inside(state_.y, w.y_min, w.y_max);
    return over && to > from && from < w.z_top && to >= w.z_top ? w.z_top : to;
  }
  // Beside the island, below its top, towards its side.
  const std::int64_t across = is_x ? state_.y : state_.x;
  const bool level = state_.z >= w.z_top && inside(across, is_x ? w.y_min : w.x_min, is_x ? w.y_max : w.x_max);
  if (!level) return to;
  if (to > from && from < lo && to >= lo) return lo;
  if (to < from && from > hi && to <= hi) return hi;
  return to;
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
    if (command.substr(i, kProbeArmed.size()) == kProbeArmed || command.substr(i, kProbeFree.size()) == kProbeFree) {
      probe_armed_ = command.substr(i, kProbeArmed.size()) == kProbeArmed;
      i += kProbeArmed.size();
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
