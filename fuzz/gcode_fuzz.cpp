// Fuzzes the G-code converter: any bytes as a part program, converted in 2D or 3D mode into a
// program file or the output view (repeated passes, tool changes answered at once). Every run must
// end, whatever the text: a converted program was read to its end (or its M2/M30), and the only
// failures a text may cause are a coordinate beyond 32 bits (an overflow) and a tool number no
// changer slot holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/driver.h"
#include "core/channel_state.h"
#include "fuzz/fuzz_host.h"
#include "settings/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0];
  const std::uint8_t more = data[1];
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  vireo::fuzz::FuzzHost host;
  vireo::Context context(host);
  host.start(context, text, "vireo-gcode-fuzz", "part.nc");

  // The first two bytes pick the mode, the sink and the settings that steer the reading.
  using vireo::Slot;
  vireo::SettingsRecord& settings = context.settings;
  settings.set_text(Slot::ena3d_gc, mode & 1 ? "1" : "0");
  settings.set_text(Slot::Version, mode & 2 ? "6" : "5");
  settings.set_text(Slot::ena_passate, mode & 4 ? "1" : "0");
  settings.set_text(Slot::numero_passate, "1");
  settings.set_text(Slot::ch_virgola, mode & 8 ? "1" : "0");
  settings.set_text(Slot::ij_mode, mode & 16 ? "1" : "0");
  settings.set_text(Slot::zinvert_gc, mode & 32 ? "1" : "0");
  settings.set_text(Slot::zeroneg_gcode, mode & 32 ? "1" : "0");
  settings.set_text(Slot::unita_gc, more & 1 ? "inch" : "mm");
  settings.set_text(Slot::Ena_tang_C, more & 2 ? "1" : "0");
  settings.set_text(Slot::check_ena_tc, more & 4 ? "1" : "0");
  settings.set_text(Slot::f_tauto, more & 8 ? "1" : "0");
  settings.set_text(Slot::gradi_gc, more & 16 ? "1" : "30");
  settings.set_text(Slot::x_gc, more & 32 ? "-250" : "0");
  vireo::derive_settings(settings, context.derived);
  context.channel.sink = mode & 64 ? vireo::sink::kTextView : vireo::sink::kFile;

  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  if (outcome == vireo::ConversionOutcome::converted && context.conversion.read_cursor != text.size()) std::abort();
  if (outcome != vireo::ConversionOutcome::converted && outcome != vireo::ConversionOutcome::failed) std::abort();
  return 0;
}
