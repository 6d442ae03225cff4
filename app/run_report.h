// What the desktop program tells the operator about a run while it goes and when it ends: lines
// delivered, time elapsed and time left beside the job window's percentage, and one line in the status
// bar saying how the run ended. The texts follow the interface language.
#pragma once

#include <optional>
#include <string>

namespace vireo {

struct RunProgress {
  double read = 0;          // characters of the document read so far
  double total = 0;         // characters of the document
  double lines = 0;         // lines delivered so far
  double lines_total = 0;   // lines the run will deliver; 0 when not known in advance
  double seconds = 0;       // seconds since the run started
};

// "1234 / 5678 lines   00:00:12   left 00:00:30": the lines delivered (of the total when known), the time elapsed and, once a share
// of the document has been read, the time left at the pace so far. Empty without a run.
std::string progress_detail(const RunProgress& progress, int language_offset);

enum class RunEnd { finished, cancelled, failed };

// "finished: 1234 lines delivered in 00:00:12"; "cancelled after ..."; "failed after ...".
std::string run_end_text(RunEnd end, double lines, double seconds, int language_offset);

}  // namespace vireo
