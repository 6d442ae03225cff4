// Sending the document open in the job window to the machine: a stored program (".tpx", the command
// language) cut into commands at every "*", framed by the opening and closing sequences, or a raw
// raster file (".raw", eight document characters to a byte, 256 bytes a line) sent as it is. Both run
// with the direct-to-machine flag raised, so the lines go to the machine whatever the sink.
#pragma once

#include <cstddef>
#include <string>

namespace vireo {

struct Context;
class TextView;

// `mnuToolsinvia`. Refuses any document but a ".tpx" with "[Toolsinvia:]non e' un file .tpx".
// An "@" starts the program again from its first character, until the abort flag is raised, unless
// the jog keypad's "Load" box is ticked (then it goes to the controller like any character).
// Returns false when the document was refused.
bool send_program(Context& context);

// `mnuToolsRaw`. Refuses any document but a ".raw" with "[ToolsRaw:]non e' un file .raw".
// A character whose code is below 128 is a 1 bit, any other character (and a character missing at
// the end of the text) a 0 bit. Returns false when the document was refused.
bool send_raw(Context& context);

// The next `count` characters of the view at the read cursor, as they are (line ends included; ""
// beyond the end), after letting the interface run once; the read cursor and the caret advance by
// `count`.
std::string read_raw_chars(Context& context, TextView& view, std::size_t count);

}  // namespace vireo
