#include "convert/line_writer.h"

#include "base/command_language.h"

namespace vireo {
namespace {

constexpr std::string_view kNotUsed = "nu";
constexpr std::string_view kOutputsRest = "0000000000000000";

}  // namespace

void write_outputs(Context& context, std::string_view bits) {
  const std::string& plc = context.settings.text(Slot::indplc);
  const std::string& spindle = context.settings.text(Slot::indfresa);
  if (plc == kNotUsed || spindle == kNotUsed) return;
  write_line(context, plc, cmd::kOutputs, bits, kOutputsRest, spindle);
}

}  // namespace vireo
