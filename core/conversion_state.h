// The state of a conversion run, in small records: where the source reader stands, the passes, the
// working depth and feed lines the motion emitters write, the geometry registers and each
// converter's modal state. Each record compares and prints itself, so a failing test shows it whole.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "core/geometry.h"
#include "core/source_text.h"

namespace vireo {

// Source reader: the read cursor counts characters from the start of the document text. Set to the
// start and the text's length when a run begins, back to the start for each repeated pass.
struct ReaderCursor {
  std::size_t read_cursor = 0;
  std::size_t text_length = 0;
  bool operator==(const ReaderCursor&) const = default;
};

// The passes of a run: how many were repeated, and the stop request the converters poll per token.
struct PassState {
  std::int16_t pass_counter = 0;
  // Set by the stop button or Esc; converters and senders end the program at their next token.
  bool abort = false;
  bool operator==(const PassState&) const = default;
};

// Working lines chosen for the format being converted, when the run begins.
struct RunLines {
  std::string travel_z_line;        // "Z" + FW(z_superf + z_iniz_v), maybe "go0"/"go1"
  std::string cutting_z_line;       // "Z" + FW(z_superf + z_fres_v), maybe "go0"/"go1"
  std::string saved_cutting_z_line; // restored after repeated passes
  std::string feed_setting;         // "F04"
  std::string plunge_feed_line;     // "F02"
  bool operator==(const RunLines&) const = default;
};

// The Gerber converter's modal state: the last D code (a repeated D01 or D02 does nothing). Empty
// until the first D code of a run.
struct GerberModal {
  std::string last_d;
  bool operator==(const GerberModal&) const = default;
};

// The records keep their field names on the run state itself (state.read_cursor, state.pass_counter,
// state.cutting_z_line), and can be reset, compared and printed one by one.
struct ConversionState : ReaderCursor, PassState, RunLines {
  // The document text, taken once when the sink is the program file and read by position.
  std::shared_ptr<const std::string> source_text;
  // What the reader reads: that copy, or the document view (whose selection shows the progress).
  std::unique_ptr<SourceText> source;

  // Where the program file goes instead of beside the source, when a front end names it.
  std::string output_path;
  // The sink a drill file's tools were listed for: each confirmation of a tool writes there.
  std::string listed_sink;

  // The number of the run-time failure that ended the conversion ("[converti:]Errore N"), 0 when none.
  std::int32_t failure_number = 0;
  // The converter refused the document as a whole (a drawing without its ENTITIES section): the
  // program was closed with nothing converted, and the conversion did not succeed.
  bool refused = false;

  std::chrono::steady_clock::time_point start_time{};

  GeometryRegisters geometry;
  GerberModal gerber;

  ReaderCursor& cursor() { return *this; }
};

std::ostream& operator<<(std::ostream& out, const ReaderCursor& cursor);
std::ostream& operator<<(std::ostream& out, const PassState& passes);
std::ostream& operator<<(std::ostream& out, const RunLines& lines);
std::ostream& operator<<(std::ostream& out, const GerberModal& gerber);

}  // namespace vireo
