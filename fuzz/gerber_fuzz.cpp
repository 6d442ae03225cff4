// Fuzzes the source reader and the Gerber converter: any bytes as a document converted into a
// program file (or, by the first byte, into the output view with a view-backed source and repeated
// passes), then read again number by number. Every run must end, whatever the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/driver.h"
#include "convert/source_reader.h"
#include "core/channel_state.h"
#include "fuzz/fuzz_host.h"
#include "settings/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  vireo::fuzz::FuzzHost host;
  vireo::Context context(host);
  host.start(context, text, "vireo-gerber-fuzz", "board.gbr");
  host.file_type = ".gbr";

  // The first byte picks the sink, the digit count, passes and the pulse commands.
  vireo::SettingsRecord& settings = context.settings;
  settings.set_text(vireo::Slot::Version, mode & 1 ? "6" : "5");
  settings.set_text(vireo::Slot::ena_passate, mode & 2 ? "1" : "0");
  settings.set_text(vireo::Slot::numero_passate, std::to_string((mode >> 2) & 3));
  settings.set_text(vireo::Slot::Ena_pbpc, mode & 16 ? "1" : "0");
  settings.set_text(vireo::Slot::scala_gerber, mode & 32 ? "0.254" : "1");
  vireo::derive_settings(settings, context.derived);
  context.channel.sink = mode & 64 ? vireo::sink::kTextView : vireo::sink::kFile;

  // A converted document was read to its end; the only failure a Gerber text may cause is a
  // coordinate beyond 32 bits, reported as an overflow.
  const vireo::ConversionOutcome outcome = vireo::convert_document(context);
  if (outcome == vireo::ConversionOutcome::converted && context.conversion.read_cursor != text.size()) std::abort();
  if (outcome != vireo::ConversionOutcome::converted && outcome != vireo::ConversionOutcome::failed) std::abort();

  // The reader's other routines over the same text, to its end.
  context.conversion.read_cursor = 0;
  context.conversion.text_length = text.size();
  while (context.conversion.read_cursor < context.conversion.text_length) {
    const std::size_t before = context.conversion.read_cursor;
    vireo::read_number(context);
    // A character that is no part of a number is pushed back: the rest of its line is skipped.
    if (context.conversion.read_cursor == before) vireo::read_line_rest(context);
  }
  return 0;
}
