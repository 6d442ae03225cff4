// The output channel's state: the line a producer hands over, where it goes, the flags that steer a
// run, and the texts the status bar shows. One instance lives in the context.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/line_sink.h"
#include "core/program_file.h"

namespace vireo {

// The conversion sinks the main window's menu selects. Any other text (also "") is the dummy device.
namespace sink {
inline constexpr std::string_view kTextView = "rtf";
inline constexpr std::string_view kFile = "file (.tpx)";
inline constexpr std::string_view kMachine = "periferica";
}  // namespace sink

struct ChannelState {
  // The line to emit: the producer assigns it and calls emit_line, which empties it once delivered.
  std::string line;
  std::string sink;
  // While set (interactive commands, program and raw-file sends) every line goes to the machine.
  bool direct_to_machine = false;
  // Cleared at the start of a conversion run; the file and text-view sinks prepare themselves on the
  // first line and set it.
  bool output_started = false;
  // Full path of the program file; also the caption of the output window.
  std::string program_file_name;
  ProgramFile program_file;
  // Lower-case extension with its dot of the document being processed (".tpx", ".raw", ".drl", ...).
  std::string document_extension;

  bool pause = false;      // the run waits before its next line
  bool suppress = false;   // every line is dropped, the line buffer keeps its text
  bool emergency = false;  // nothing is written to the serial port
  // The serial port failed in this run: the run stops and nothing more is tried on it.
  bool machine_lost = false;
  // The job window is open: stopping a run re-enables its cancel and tool-list buttons.
  bool job_window_open = false;
  // Handed every delivered line, when set. Whoever attaches a sink keeps it alive as long as the
  // context, or detaches it before it goes.
  LineSink* listener = nullptr;

  std::int32_t file_column = 0;  // characters written to the program file since the last CR
  std::int32_t error_count = 0;
  std::string error_text;        // the last error of the run
  // The number of the last run-time failure of a delivery ("[Invia:]Errore N"), 0 when none; what
  // front ends decide success by, never the error text.
  std::int32_t error_number = 0;
  double line_counter = 0;       // commands sent in the run; counted by the producers
  std::string operation_text;    // what the machine is doing (" SPOST.*  ", "  FORO    ")
  std::string tool_text;         // pass or tool information
  std::string message_text;      // tool operation ("    CAMBIA UTENSILE CON ")
};

}  // namespace vireo
