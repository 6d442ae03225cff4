#include "link/serial_events.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/number_text.h"
#include "core/context.h"

namespace vireo {
namespace {

constexpr std::size_t kFrame16 = 14;
constexpr std::size_t kFrame32 = 26;
// A silence longer than this many whole seconds starts a new frame.
constexpr long kGapSeconds = 2;

struct EventMessage {
  int code;
  std::string_view text;  // "" for an event that only passes by
};
constexpr EventMessage kEvents[] = {
    {comm_event::kSend, ""},
    {comm_event::kReceive, ""},
    {comm_event::kCtsChange, ""},
    {comm_event::kDsrChange, ""},
    {comm_event::kCdChange, ""},
    {comm_event::kRing, ""},
    {comm_event::kEndOfFile, "Raggiunta la fine del file"},
    {comm_event::kBreak, "Ricevuta interruzione"},
    {comm_event::kCtsTimeout, "Timeout CTS"},
    {comm_event::kDsrTimeout, "Timeout DSR"},
    {comm_event::kFraming, ""},
    {comm_event::kOverrun, ""},
    {comm_event::kCdTimeout, "Timeout Carrier Detect"},
    {comm_event::kReceiveOverflow, ""},
    {comm_event::kParity, "Errore di parit\xE0"},
    {comm_event::kTransmitFull, "Buffer di trasmissione pieno"},
    {comm_event::kDcb, "Errore durante il recupero di DCB"},
};

// The unsigned big-endian number of `bytes` bytes at `offset` of the receive buffer.
std::uint32_t field(const ReceiveState& r, std::size_t offset, int bytes) {
  std::uint32_t value = 0;
  for (int k = 0; k < bytes; ++k) value = value << 8 | r.rx_buffer[offset + static_cast<std::size_t>(k)];
  return value;
}

// A frame's values, as decoded before they are shown.
struct FrameValues {
  double x, y, z, a, b, c;
  int feed, spindle;
};

FrameValues read_frame(const ReceiveState& r, int bytes) {
  const auto at = [&](int index) { return static_cast<double>(field(r, static_cast<std::size_t>(index * bytes), bytes)); };
  const std::size_t codes = static_cast<std::size_t>(6 * bytes);
  return {at(0), at(1), at(2), at(3), at(4), at(5), r.rx_buffer[codes], r.rx_buffer[codes + 1]};
}

// Hundredths of a degree from motor steps; an axis without a step count per turn shows 0.
double degrees(double steps, double steps_per_turn) {
  return steps_per_turn != 0 ? static_cast<double>(int_part(steps / steps_per_turn * 36000)) : 0;
}

void show_frame(Context& context, FrameValues v, bool whole_axes) {
  const SettingsRecord& s = context.settings;
  if (s.on(Slot::ena_correzione_display)) {
    v.x *= s.number(Slot::display_corr_x);
    v.y *= s.number(Slot::display_corr_y);
    v.z *= s.number(Slot::display_corr_z);
    v.a *= s.number(Slot::display_corr_a);
    v.b *= s.number(Slot::display_corr_b);
    // C is a 32-bit integer: the product is rounded and held inside that range.
    constexpr double kLow = std::numeric_limits<std::int32_t>::min(), kHigh = std::numeric_limits<std::int32_t>::max();
    v.c = std::clamp(static_cast<double>(round_half_even(v.c * s.number(Slot::display_corr_c))), kLow, kHigh);
  }
  if (whole_axes) {
    v.x = static_cast<double>(int_part(v.x));
    v.y = static_cast<double>(int_part(v.y));
    v.z = static_cast<double>(int_part(v.z));
  }
  DisplayState& d = context.display;
  Host& host = *context.host;
  // The values are kept as the reply's texts give them.
  const auto axis = [&](double& display, double& tracked, double value, int digit) {
    display = held_as_text(value);
    tracked = display;
    host.show_digit(digit, value);
  };
  axis(d.display_x, d.tracked_x, v.x, digit::kX);
  axis(d.display_y, d.tracked_y, v.y, digit::kY);
  axis(d.display_z, d.tracked_z, v.z, digit::kZ);
  d.display_f = held_as_text(v.feed);
  host.show_digit(digit::kFeed, v.feed);
  d.display_s = held_as_text(v.spindle);
  host.show_digit(digit::kSpindle, v.spindle);
  d.display_a = degrees(v.a, s.number(Slot::Step_giro_A));
  host.show_digit(digit::kA, d.display_a);
  d.display_b = degrees(v.b, s.number(Slot::Step_giro_B));
  host.show_digit(digit::kB, d.display_b);
  d.display_c = degrees(v.c, s.number(Slot::Step_giro_C));
  host.show_digit(digit::kC, d.display_c);
}

FrameOutcome receive_byte(Context& context, const SerialEvent& event) {
  ReceiveState& r = context.receive;
  if (r.capture) {
    // The monitor's raw capture: everything is kept, up to the buffer's end.
    for (char c : event.input)
      if (r.rx_count < ReceiveState::kBufferSize) r.rx_buffer[r.rx_count++] = static_cast<unsigned char>(c);
    r.last_rx_time = event.time;
    return FrameOutcome::none;
  }
  // A reply begins after a pause: a frame that stopped halfway is thrown away.
  if (std::chrono::duration_cast<std::chrono::seconds>(event.time - r.last_rx_time).count() > kGapSeconds)
    r.rx_count = 0;
  r.last_rx_time = event.time;
  if (event.input.empty()) return FrameOutcome::none;
  if (r.rx_count < ReceiveState::kBufferSize) r.rx_buffer[r.rx_count++] = static_cast<unsigned char>(event.input[0]);
  const bool wide = context.settings.on(Slot::quote32bit);
  if (r.rx_count < (wide ? kFrame32 : kFrame16)) return FrameOutcome::none;
  r.rx_count = 0;
  if (wide && !decode_frame32(context)) return FrameOutcome::discarded;
  if (!wide) decode_frame16(context);
  ++r.decoded_frames;
  return FrameOutcome::decoded;
}

}  // namespace

std::string_view comm_event_message(int code) {
  for (const EventMessage& e : kEvents)
    if (e.code == code) return e.text;
  return "Errore o evento sconosciuto";
}

void decode_frame16(Context& context) { show_frame(context, read_frame(context.receive, 2), false); }

bool decode_frame32(Context& context) {
  ReceiveState& r = context.receive;
  // The axis values are meant to stay below 2^31: a frame with a higher one is not shown.
  for (std::size_t offset = 0; offset < 24; offset += 4) {
    if (r.rx_buffer[offset] >= 0x80) {
      ++r.discarded_frames;
      return false;
    }
  }
  show_frame(context, read_frame(r, 4), true);
  return true;
}

FrameOutcome on_comm_event(Context& context, const SerialEvent& event) {
  switch (event.code) {
    case comm_event::kReceive:
      return receive_byte(context, event);
    case comm_event::kOverrun:
    case comm_event::kReceiveOverflow:
      if (context.serial) context.serial->clear_input();
      context.receive.rx_count = 0;
      return FrameOutcome::none;
    default:
      if (std::string_view text = comm_event_message(event.code); !text.empty()) context.host->message_box(text);
      return FrameOutcome::none;
  }
}

void take_serial_events(Context& context) {
  if (!context.serial) return;
  SerialEvent event;
  while (context.serial->next_event(event)) on_comm_event(context, event);
}

}  // namespace vireo
