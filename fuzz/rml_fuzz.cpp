// Fuzzes the RML-1 converter: any bytes as a milling file, into a program file or the output view.
// Every run must end with the text read to its end; the only failure a text may cause is a
// coordinate beyond 32 bits, reported as an overflow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/driver.h"
#include "core/channel_state.h"
#include "fuzz/fuzz_host.h"
#include "settings/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  vireo::fuzz::FuzzHost host;
  vireo::Context context(host);
  host.start(context, text, "vireo-rml-fuzz", "mill.rml");

  using vireo::Slot;
  vireo::SettingsRecord& settings = context.settings;
  settings.set_text(Slot::Version, mode & 1 ? "6" : "5");
  settings.set_text(Slot::zeroneg_rol, mode & 2 ? "1" : "0");
  settings.set_text(Slot::unita_modela, mode & 4 ? "inch" : "mm");
  settings.set_text(Slot::scala_modela, mode & 8 ? "0.025" : "1");
  settings.set_text(Slot::maxv_modela, mode & 16 ? "F30" : "F10");
  vireo::derive_settings(settings, context.derived);
  context.channel.sink = mode & 64 ? vireo::sink::kTextView : vireo::sink::kFile;

  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  if (outcome == vireo::ConversionOutcome::converted && context.conversion.read_cursor != text.size()) std::abort();
  if (outcome != vireo::ConversionOutcome::converted && outcome != vireo::ConversionOutcome::failed) std::abort();
  return 0;
}
