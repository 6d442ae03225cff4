// The serial receive handler: collects the controller's replies byte by byte, cuts them into position
// frames (14 bytes, 26 with `quote32bit`) and decodes each into the position display; turns the port's
// error events into messages for the operator.
#pragma once

#include <string_view>

#include "core/serial_port.h"

namespace vireo {

struct Context;

// What one event did to the position display.
enum class FrameOutcome {
  none,       // no frame was completed
  decoded,    // a complete frame was decoded and shown
  discarded,  // a complete 32-bit frame held a value of 2^31 or more and was thrown away
};

// Handles one event of the port. A received character is stored at rx_count; outside a capture a
// silence of more than 2 whole seconds since the last event starts a new frame first, and a frame's
// worth of bytes is decoded at once. Error events show their message; an overrun or a receive
// overflow also clears the port's input and the partial frame.
FrameOutcome on_comm_event(Context& context, const SerialEvent& event);

// Hands every event waiting at the serial port to on_comm_event.
void take_serial_events(Context& context);

// The operator's message for an event code; "" for the events that only pass by.
std::string_view comm_event_message(int code);

// The frame's values into the display state and the display digits (bytes 0 to 13, respectively 0 to
// 25, of rx_buffer). decode_frame32 returns false, and changes nothing, for a value of 2^31 or more.
void decode_frame16(Context& context);
bool decode_frame32(Context& context);

}  // namespace vireo
