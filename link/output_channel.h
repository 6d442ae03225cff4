// The output channel: the one routine every producer of command lines writes through. It chooses the
// destination (program file, output text view, or the machine over the serial port, an ISA card or
// the dummy device), runs the device encoder where the line is not encoded yet, delivers the line
// with the machine's handshake or pacing and keeps the status bar current.
#pragma once

#include <string>
#include <string_view>

namespace vireo {

struct Context;
struct ChannelState;

// Emits one line. The line is put in the channel's line buffer first: that is what an event handler
// run during the pause wait sees, what the status bar shows, and what stays there when the line is
// dropped or fails. Waits while the pause flag is up, drops the line (keeping the buffer) while the
// suppression flag is up, counts a line holding "-" as an error per axis letter and still sends it.
// A run-time failure ends the call with "[Invia:]Errore <number>   <description>" in the error text,
// counted once; the line buffer then keeps its text. Nothing is thrown to the caller. A completed
// emission empties the buffer. A serial port that is not open or fails to write also raises the
// abort flag, and the lines emitted while that run stops are dropped.
void emit_line(Context& context, std::string_view line);

// Rewrites the five status panels from the channel state; does nothing while a program file is being
// written (sink "file (.tpx)" without the direct-to-machine flag) or for a host without a status bar.
void update_status(Context& context);

// Status panel 5: the message, the last error and the error count of the run, "(tot errors= 3)".
std::string error_summary(const ChannelState& channel);

// Closes the program file of a conversion run (the end of the program does it). Throws RunError when
// its last bytes cannot be written.
void close_program_file(Context& context);

}  // namespace vireo
