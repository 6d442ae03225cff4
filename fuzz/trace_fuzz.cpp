// Any program text through the trace scans, the plan drawing and autozero's scans: no crash, no
// endless loop, the extent either empty or ordered.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/context.h"
#include "preview/plan.h"
#include "preview/trace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vireo::Host host;
  vireo::Context context(host);
  if (size > 0 && data[0] % 2) context.settings.set_text(vireo::Slot::Version, "6");
  vireo::derive_settings(context.settings, context.derived);
  vireo::set_trace_text(context, std::string(reinterpret_cast<const char*>(data), size));
  vireo::scan_z_levels(context);
  vireo::scan_xy_extent(context);
  const vireo::TraceState& trace = context.trace;
  if (trace.x_min != vireo::kTraceUnset && trace.x_min > trace.x_max) __builtin_trap();
  if (trace.level_count < 0) __builtin_trap();
  vireo::Raster picture(64, 48, vireo::kPlanBackground);
  vireo::draw_plan(context, picture, {});
  return 0;
}
