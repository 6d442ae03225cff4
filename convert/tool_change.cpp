#include "convert/tool_change.h"

#include "app/context.h"
#include "convert/emitters.h"
#include "link/command_language.h"

namespace vireo {

void tool_change(Context& context) {
  // A tool change starts by closing a pulse left open by "pb".
  if (context.display.pulse_state != cmd::kGlue) write_line(context, context.derived.glue);
  // The changer and manual sequences are completed in the tool-change work.
}

void calibrate_tool(Context& context) {
  (void)context;  // The measuring sequence is completed in the tool-change work.
}

}  // namespace vireo
