// Fuzzes the HPGL converter and the geometry writers: any bytes as a plot, converted into a program
// file, the output view or the machine's dummy device, in the three pen modes, with tool changes by the
// changer or by hand and the tool window answered or cancelled. Every run must end, whatever the text
// (arcs with any chord angle, circles of any radius, pens of any number).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/driver.h"
#include "fuzz/fuzz_host.h"
#include "settings/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  vireo::fuzz::FuzzHost host;
  vireo::Context context(host);
  host.start(context, text, "vireo-hpgl-fuzz", "plot.plt");
  host.tool_answer = mode & 128 ? 99 : 3;

  // The first byte picks the digit count, passes, the pen mode, tool changes, the changer and the sink.
  static constexpr const char* kModes[] = {"TC", "prof_var", "TC+prof_var", "TC+prof_var"};
  vireo::SettingsRecord& settings = context.settings;
  settings.set_text(vireo::Slot::Version, mode & 1 ? "6" : "5");
  settings.set_text(vireo::Slot::ena_passate, mode & 2 ? "1" : "0");
  settings.set_text(vireo::Slot::numero_passate, "1");
  settings.set_text(vireo::Slot::atc_hpgl, kModes[(mode >> 2) & 3]);
  settings.set_text(vireo::Slot::check_ena_tc, mode & 16 ? "1" : "0");
  settings.set_text(vireo::Slot::f_tauto, mode & 32 ? "1" : "0");
  vireo::derive_settings(settings, context.derived);
  context.channel.sink = mode & 64 ? vireo::sink::kTextView : vireo::sink::kMachine;

  // A tool number no slot holds and coordinates beyond 32 bits end a conversion; nothing else may.
  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  if (outcome != vireo::ConversionOutcome::converted && outcome != vireo::ConversionOutcome::failed) std::abort();
  return 0;
}
