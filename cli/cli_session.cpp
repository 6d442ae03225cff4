#include "cli/cli_session.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "cli/cli_options.h"

namespace vireo {

void CliHost::wait_events(int max_ms) { std::this_thread::sleep_for(std::chrono::milliseconds(max_ms)); }

void CliHost::message_box(std::string_view text) { std::cerr << text << '\n'; }

CliSession::CliSession(const CommonOptions& options) : serial_(options.ports), context_(host_) {
  context_.serial = &serial_;
  context_.isa = &isa_;
}

}  // namespace vireo
