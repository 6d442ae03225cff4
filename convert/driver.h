// The conversion driver: turns the document shown in the job window into machine command lines for
// the sink the conversion command chose, by the converter its extension names (or the operator picks).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/document_name.h"

namespace vireo {

struct Context;

// How a conversion ended; the windows show the messages already, front ends may act on it.
enum class ConversionOutcome {
  converted,      // a converter ran to the end of the program
  program_file,   // the document is a ".tpx" program: nothing converted
  cancelled,      // the type selection was cancelled
  failed,         // a run-time failure ended the conversion ("[converti:]Errore ...")
  refused,        // the converter refused the document with a message; nothing converted
};

// Runs one conversion of the active document into the sink already set in the channel.
ConversionOutcome convert_document(Context& context);

// Runs a step of a conversion (the whole driver, or a drill tool confirmed later): a run-time failure
// ends it with "[converti:]Errore " + number + CR + description in a message box, and a partly
// written program file keeps what was written. Returns the step's outcome, or `failed`.
ConversionOutcome run_conversion_step(Context& context, const std::function<ConversionOutcome()>& step);

// The working depths and feed for the document's format: the settings' Z lines and `vel_av`, the
// per-pen depths and feeds for HPGL, then the saved cutting line and the plunge feed. Throws RunError
// for an HPGL pen outside 1 to 8.
void prepare_depths(Context& context);

// One row of the extension table: the extensions it takes, the canonical extension set before the
// converter runs, and the converter (absent while that format's converter is not part of the program).
struct FormatRow {
  std::string_view extension;
  std::string_view canonical;
  void (*convert)(Context&);
};
// The row for an extension, or nullptr when the table has none (the operator picks the type then).
const FormatRow* find_format(std::string_view extension);

}  // namespace vireo
