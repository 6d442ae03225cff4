// How the converters, the framing emitters and the tool change hand a line to the output channel:
// the line is made of its parts and passed on, and the multiplexer's outputs line is one such line.
// Everything that writes program lines stands on this module; it stands only on the channel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/short_copy.h"
#include "core/context.h"
#include "link/output_channel.h"

namespace vireo {

// A part of a line: a text or a single command character such as the terminator.
inline std::string_view line_part(std::string_view text) { return text; }
inline std::string_view line_part(const char& letter) { return {&letter, 1}; }

// Lines up to this long are put together on the stack; nearly every line of a conversion is.
inline constexpr std::size_t kShortLine = 256;

// A line of one part is handed on as it stands.
template <typename Part>
void write_line(Context& context, const Part& part) {
  emit_line(context, line_part(part));
}

// Emits the concatenation of the parts as one line.
template <typename... Parts>
void write_line(Context& context, const Parts&... parts) {
  const std::size_t size = (line_part(parts).size() + ... + 0);
  if (size > kShortLine) {
    std::string line;
    line.reserve(size);
    (line.append(line_part(parts)), ...);
    emit_line(context, line);
    return;
  }
  char line[kShortLine];
  char* end = line;
  ((end = copy_short(end, line_part(parts).data(), line_part(parts).size())), ...);
  emit_line(context, std::string_view(line, size));
}

// The status bar's operation text; set only when it changes, as consecutive lines mostly keep it.
inline void show_operation(Context& context, std::string_view operation) {
  std::string& shown = context.channel.operation_text;
  if (shown != operation) assign_short(shown, operation);
}

// The multiplexer's outputs line, `indplc` + "Od" + eight output bits + sixteen zeros + `indfresa`,
// written only when neither address is "nu".
void write_outputs(Context& context, std::string_view bits);

}  // namespace vireo
