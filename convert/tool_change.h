// Tool change sequences: put the loaded tool away and bring the requested one into the spindle,
// through the automatic changer or by operator prompts, and measure a tool on the length sensor.
#pragma once

namespace vireo {

struct Context;

void tool_change(Context& ctx);
void calibrate_tool(Context& ctx);

}  // namespace vireo
