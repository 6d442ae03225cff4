// Fuzzes the DXF converter and the geometry writers: any bytes as a drawing, converted into a program
// file or the output view, with or without repeated passes and the tangential knife, in chords of 1 or
// 30 degrees. Every run must end, whatever the text (an ENTITIES section without ENDSEC, code lines
// without their blank, arcs of any size).
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
  host.start(context, text, "vireo-dxf-fuzz", "drawing.dxf");

  // The first byte picks the digit count, passes, the knife, the chord angle, the sink and the unit.
  vireo::SettingsRecord& settings = context.settings;
  settings.set_text(vireo::Slot::Version, mode & 1 ? "6" : "5");
  settings.set_text(vireo::Slot::ena_passate, mode & 2 ? "1" : "0");
  settings.set_text(vireo::Slot::numero_passate, std::to_string((mode >> 2) & 3));
  settings.set_text(vireo::Slot::Ena_tang_C, mode & 16 ? "1" : "0");
  settings.set_text(vireo::Slot::gradi_dxf, mode & 32 ? "30" : "1");
  settings.set_text(vireo::Slot::unita_dxf, mode & 128 ? "inch" : "mm");
  vireo::derive_settings(settings, context.derived);
  context.channel.sink = mode & 64 ? vireo::sink::kTextView : vireo::sink::kFile;

  // Coordinates beyond 32 bits end a conversion as an overflow, a text without its ENTITIES section is
  // refused; nothing else may stop it.
  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  if (outcome != vireo::ConversionOutcome::converted && outcome != vireo::ConversionOutcome::failed &&
      outcome != vireo::ConversionOutcome::refused)
    std::abort();
  return 0;
}
