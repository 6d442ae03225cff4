// What a vireo-cli command runs on: a context with a terminal host and the machine devices of this
// system (the serial ports, with the --port paths, and the ISA card driver library).
#pragma once

#include "app/context.h"
#include "app/host.h"
#include "link/devices/iocard_library.h"
#include "link/devices/posix_serial_port.h"

namespace vireo {

struct CommonOptions;

// The terminal as host: messages go to stderr, waits sleep.
class CliHost : public Host {
 public:
  void wait_events(int max_ms) override;
  void message_box(std::string_view text) override;
};

class CliSession {
 public:
  explicit CliSession(const CommonOptions& options);
  CliSession(const CliSession&) = delete;
  CliSession& operator=(const CliSession&) = delete;

  Context& context() { return context_; }

 private:
  CliHost host_;
  PosixSerialPort serial_;
  IocardLibrary isa_;
  Context context_;
};

}  // namespace vireo
