// The state of a conversion run: where the source reader stands, the pass counter, the abort flag,
// and the working depth and feed lines the motion emitters write.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/geometry.h"
#include "core/source_text.h"

namespace vireo {

struct ConversionState {
  // Source reader: the read cursor counts characters from the start of the document text.
  std::size_t read_cursor = 0;
  std::size_t text_length = 0;
  // The document text, copied once when the sink is the program file and read by position.
  std::string source_text;
  // What the reader reads: that copy, or the document view (whose selection shows the progress).
  std::unique_ptr<SourceText> source;

  // Where the program file goes instead of beside the source, when a front end names it.
  std::string output_path;
  // The sink a drill file's tools were listed for: each confirmation of a tool writes there.
  std::string listed_sink;

  std::int16_t pass_counter = 0;
  // Set by the stop button or Esc; converters and senders end the program at their next token.
  bool abort = false;

  // Working lines chosen for the format being converted.
  std::string travel_z_line;        // "Z" + FW(z_superf + z_iniz_v), maybe "go0"/"go1"
  std::string cutting_z_line;       // "Z" + FW(z_superf + z_fres_v), maybe "go0"/"go1"
  std::string saved_cutting_z_line; // restored after repeated passes
  std::string feed_setting;         // "F04"
  std::string plunge_feed_line;     // "F02"

  std::chrono::steady_clock::time_point start_time{};

  GeometryRegisters geometry;
};

}  // namespace vireo
