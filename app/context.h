// The context: the one object that owns the program's shared records (settings, channel, display,
// conversion and tool state) and reaches the platform through its interfaces. Every routine of the
// logic takes it; nothing is kept in globals, so each test starts from a fresh context.
#pragma once

#include <filesystem>

#include "app/host.h"
#include "app/string_table.h"
#include "convert/conversion_state.h"
#include "convert/tool_state.h"
#include "link/channel_state.h"
#include "link/display_state.h"
#include "link/isa_card.h"
#include "link/serial_port.h"
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
  StringTable strings;      // the user-interface texts; empty until start-up loads them

  ChannelState channel;  // the output channel every producer writes through
  DisplayState display;  // the position display, followed by the device encoder
  ConversionState conversion;  // the source reader, passes and working depths of a run
  ToolState tools;             // requested and loaded tool, tool-change waits

  // The machine link; owned by the front end, absent where it has none.
  SerialPort* serial = nullptr;
  IsaCard* isa = nullptr;
};

}  // namespace vireo
