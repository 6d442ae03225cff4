// Fuzzes the source reader and the Excellon converter in both modes: any bytes as a drill file,
// converted with the tool changer into a program file, the output view or the (dummy) machine, or
// listed tool by tool with up to three of the listed tools confirmed. Every run must end, whatever
// the text; the tool window and the manual prompt answer at once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/driver.h"
#include "convert/excellon.h"
#include "core/channel_state.h"
#include "fuzz/fuzz_host.h"
#include "settings/settings_record.h"

namespace {

bool acceptable(vireo::ConversionOutcome outcome) {
  // A drill text may fail only as an overflow (a coordinate beyond 32 bits) or a tool number below 0.
  return outcome == vireo::ConversionOutcome::converted || outcome == vireo::ConversionOutcome::failed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0];
  const std::uint8_t more = data[1];
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  vireo::fuzz::FuzzHost host;
  vireo::Context context(host);
  host.start(context, text, "vireo-excellon-fuzz", more & 64 ? "board.xln" : "board.drl");
  host.file_type = ".drl";

  // The first two bytes pick the mode, the sink, passes, progressive drilling and tool changes.
  using vireo::Slot;
  vireo::SettingsRecord& settings = context.settings;
  const bool tool_by_tool = mode & 1;
  settings.set_text(Slot::atc_excellon, tool_by_tool ? "single" : "TC");
  settings.set_text(Slot::Version, mode & 2 ? "6" : "5");
  settings.set_text(Slot::ena_passate, mode & 4 ? "1" : "0");
  settings.set_text(Slot::numero_passate, std::to_string((mode >> 3) & 3));
  settings.set_text(Slot::check_progressivo, mode & 32 ? "1" : "0");
  static const char* const kIncrements[] = {"100", "0", "-50", "7"};
  settings.set_text(Slot::incremento_progressivo, kIncrements[(more >> 4) & 3]);
  settings.set_text(Slot::check_ena_tc, mode & 64 ? "1" : "0");
  settings.set_text(Slot::f_tauto, mode & 128 ? "1" : "0");
  settings.set_text(Slot::Ena_pbpc, more & 1 ? "0" : "1");
  settings.set_text(Slot::scala_excellon, more & 2 ? "0.254" : "1");
  settings.set_text(Slot::x_excellon, more & 4 ? "-1500" : "0");
  settings.set_text(Slot::ritardo_dsr, "0");
  vireo::derive_settings(settings, context.derived);
  static const std::string_view kSinks[] = {vireo::sink::kFile, vireo::sink::kTextView, vireo::sink::kMachine,
                                            vireo::sink::kFile};
  context.channel.sink = kSinks[(more >> 2) & 3];

  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  if (!acceptable(outcome)) std::abort();
  if (!tool_by_tool || outcome != vireo::ConversionOutcome::converted) {
    if (outcome == vireo::ConversionOutcome::converted && context.conversion.read_cursor != text.size()) std::abort();
    return 0;
  }
  const std::vector<std::string> listed = host.tools;
  for (std::size_t i = 0; i < listed.size() && i < 3; ++i) {
    host.chosen = listed[i];
    const vireo::ConversionOutcome confirmed = vireo::confirm_drill_tool(context);
    if (!acceptable(confirmed)) std::abort();
    if (confirmed == vireo::ConversionOutcome::converted && context.conversion.read_cursor != text.size()) std::abort();
  }
  return 0;
}
