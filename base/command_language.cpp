#include "base/command_language.h"

namespace vireo::cmd {

bool CommandCutter::feed(char c) {
  if (c == '\r' || c == '\n') return false;
  pending_ += c;
  if (c != kTerminator) return false;
  command_.swap(pending_);
  pending_.clear();
  return true;
}

std::string CommandCutter::finish() {
  if (pending_.empty()) return {};
  std::string last = pending_ + kTerminator;
  pending_.clear();
  return last;
}

std::vector<std::string> cut_commands(std::string_view program) {
  std::vector<std::string> commands;
  CommandCutter cutter;
  for (char c : program)
    if (cutter.feed(c)) commands.push_back(cutter.command());
  if (std::string last = cutter.finish(); !last.empty()) commands.push_back(std::move(last));
  return commands;
}

}  // namespace vireo::cmd
