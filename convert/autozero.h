// Autozero: shifts the machine program open in the document window so that its cutting area starts
// at X = 0, Y = 0. Every X and Y value is reduced by the smallest X and Y of the cutting moves; a
// value that would go below zero (a travel move outside the cutting area) becomes zero. The text is
// rewritten in place through the view, value by value with the same width, so its length never
// changes; Z values stay as they are. Nothing is saved.
#pragma once

#include <optional>
#include <string>

namespace vireo {

struct Context;

struct AutozeroResult {
  long x_changed = 0;   // X values rewritten (0 when the X minimum was already 0)
  long y_changed = 0;   // Y values rewritten
  long zeroed = 0;      // values below the minimum, set to zero
  double x_min = 0, y_min = 0;  // the shift applied
  bool aborted = false;
  std::string message;  // the closing message
};

// Runs autozero on the active document. A document that is not a ".tpx" program is refused with
// "[autozero:]non e' un file .tpx"; nothing happens without a document view. Returns the counts when
// it ran (also when the stop button ended it early).
std::optional<AutozeroResult> autozero(Context& context);

// The main window's command: clears the abort flag, enables the stop button and runs autozero.
std::optional<AutozeroResult> start_autozero(Context& context);

}  // namespace vireo
