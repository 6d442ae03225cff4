#include "manual/monitor.h"

#include "base/command_language.h"
#include "core/context.h"
#include "link/output_channel.h"
#include "link/serial_events.h"

namespace vireo {
namespace {

// The read lets the event loop run this long per turn.
constexpr int kWaitStepMs = 20;

}  // namespace

std::string read_monitor(Context& ctx, const Clock& now) {
  ReceiveState& receive = ctx.receive;
  receive.capture = true;
  if (ctx.serial) ctx.serial->clear_input();
  ctx.channel.suppress = false;
  ctx.channel.direct_to_machine = true;
  emit_line(ctx, cmd::kStatusDump);
  ctx.channel.direct_to_machine = false;
  receive.rx_count = 0;
  ctx.channel.suppress = true;
  receive.last_rx_time = now();
  // Every received byte renews last_rx_time, so the read goes on while the controller talks; closing
  // the monitor ends it at once.
  while (receive.capture &&
         std::chrono::duration_cast<std::chrono::seconds>(now() - receive.last_rx_time).count() < kSilenceSeconds) {
    ctx.host->wait_events(kWaitStepMs);
    take_serial_events(ctx);
  }
  receive.capture = false;
  return std::string(receive.rx_buffer.begin(), receive.rx_buffer.begin() + static_cast<std::ptrdiff_t>(receive.rx_count));
}

void monitor_closed(Context& ctx) { ctx.receive.capture = false; }

}  // namespace vireo
