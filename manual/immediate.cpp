#include "manual/immediate.h"

#include "core/context.h"
#include "link/output_channel.h"

namespace vireo {
namespace {

int line_slot(int index) { return slot_index(Slot::immediate_command, index); }
int comment_slot(int index) { return slot_index(Slot::immediate_hint, index); }

}  // namespace

void send_immediate_line(Context& ctx) {
  ctx.display.force_z = ctx.display.force_f = true;
  ctx.channel.suppress = false;
  ctx.channel.direct_to_machine = true;
  // The line the window put in the buffer goes out as it is.
  const std::string line = ctx.channel.line;
  emit_line(ctx, line);
  ctx.channel.direct_to_machine = false;
  ctx.channel.suppress = true;
}

const std::string& immediate_text(const Context& ctx, int index) { return ctx.settings.text(line_slot(index)); }

const std::string& immediate_comment(const Context& ctx, int index) { return ctx.settings.text(comment_slot(index)); }

std::string immediate_hint(const Context& ctx, int index) {
  const std::string& comment = immediate_comment(ctx, index);
  return comment.empty() ? std::string(kNoCommentHint) : comment;
}

void set_immediate_text(Context& ctx, int index, std::string text) {
  ctx.settings.set_text(line_slot(index), std::move(text));
}

void send_immediate_command(Context& ctx, int index) {
  const std::string& text = immediate_text(ctx, index);
  if (text.empty()) return;
  ctx.channel.line = text;
  send_immediate_line(ctx);
}

bool ask_immediate_comment(Context& ctx, int index) {
  const std::optional<std::string> answer = ctx.host->input_box(kCommentPrompt, kCommentPrompt, "");
  if (!answer || answer->empty()) return false;
  ctx.settings.set_text(comment_slot(index), *answer);
  return true;
}

}  // namespace vireo
