#include "link/job_window.h"

#include <string_view>

#include "core/context.h"
#include "base/number_text.h"

namespace vireo {
namespace {

constexpr std::string_view kDrillExtension = ".drl";

void enable_run_controls(Context& ctx) {
  ctx.host->set_job_control_enabled(JobControl::cancel_button, true);
  if (ctx.channel.document_extension == kDrillExtension)
    ctx.host->set_job_control_enabled(JobControl::tool_ok, true);
}

}  // namespace

std::optional<std::string> progress_text(const ConversionState& conversion) {
  if (conversion.text_length == 0) return std::nullopt;
  const double share = static_cast<double>(conversion.read_cursor) / static_cast<double>(conversion.text_length);
  return blank_number_text(static_cast<double>(int_part(share * 100))) + " %";
}

void job_window_loaded(Context& ctx) { ctx.channel.job_window_open = true; }

void job_window_unloaded(Context& ctx) {
  request_stop(ctx);
  ctx.channel.job_window_open = false;
}

void caret_moved(Context& ctx, std::size_t selection_start) { ctx.conversion.read_cursor = selection_start; }

void toggle_pause(Context& ctx) {
  ctx.channel.pause = !ctx.channel.pause;
  ctx.host->set_pause_button_alert(ctx.channel.pause);
}

void next_tool(Context& ctx) { ctx.channel.suppress = true; }

void request_stop(Context& ctx) {
  ctx.conversion.abort = true;
  // A stopped run is no longer paused: the next run must not start waiting for the pause button.
  if (ctx.channel.pause) {
    ctx.channel.pause = false;
    ctx.host->set_pause_button_alert(false);
  }
  if (ctx.channel.job_window_open) enable_run_controls(ctx);
}

void tool_list_clicked(Context& ctx) { enable_run_controls(ctx); }

}  // namespace vireo
