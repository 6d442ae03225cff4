// The context: the one object that owns the program's shared records (settings, channel, display,
// conversion and tool state) and reaches the platform through its interfaces. Every routine of the
// logic takes it; nothing is kept in globals, so each test starts from a fresh context.
#pragma once

#include <filesystem>

#include "core/host.h"
#include "core/conversion_state.h"
#include "core/tool_state.h"
#include "core/channel_state.h"
#include "core/display_state.h"
#include "core/isa_card.h"
#include "core/receive_state.h"
#include "core/serial_port.h"
#include "core/trace_state.h"
#include "settings/settings_record.h"
#include "settings/workspace.h"

namespace vireo {

struct Context {
  explicit Context(Host& h) : host(&h) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Host* host;

  // Where the program keeps its files, and the two files in use.
  std::filesystem::path program_directory;
  std::filesystem::path workspace_path;
  std::filesystem::path setup_path;

  SettingsRecord settings;
  DerivedSettings derived;
  Workspace workspace;
  int language_offset = 0;  // 0 Italian, 1000 English

  ChannelState channel;  // the output channel every producer writes through
  DisplayState display;  // the position display, followed by the device encoder
  ReceiveState receive;  // the controller's replies as the serial receive handler collects them
  ConversionState conversion;  // the source reader, passes and working depths of a run
  ToolState tools;             // requested and loaded tool, tool-change waits
  TraceState trace;            // the program file loaded for the preview and autozero

  // The jog keypad's "Load" box (`LoadBuf`): while ticked the controller stores what it receives, and
  // a stored program's "@" goes to it instead of restarting the send.
  bool keypad_load_buffer = false;

  // The machine link; owned by the front end, absent where it has none.
  SerialPort* serial = nullptr;
  IsaCard* isa = nullptr;
};

}  // namespace vireo
